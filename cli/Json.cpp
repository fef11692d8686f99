#include "cli/Json.h"

#include <cstdio>

namespace mushaf {

std::string JsonString(TextView text) {
    std::string out = "\"";
    for (char16_t c : text) {
        switch (c) {
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        default:
            if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += ToUtf8(TextView(&c, 1));
            }
        }
    }
    return out + "\"";
}

JsonObject& JsonObject::AddRaw(const std::string& key, const std::string& json) {
    if (!body_.empty()) body_ += ",";
    body_ += JsonString(FromUtf8(key)) + ":" + json;
    return *this;
}

JsonObject& JsonObject::Add(const std::string& key, long long value) { return AddRaw(key, std::to_string(value)); }
JsonObject& JsonObject::Add(const std::string& key, TextView value) { return AddRaw(key, JsonString(value)); }

}  // namespace mushaf
