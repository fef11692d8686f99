#pragma once
// Writing one-line JSON objects in UTF-8.
#include <string>

#include "model/Text.h"

namespace mushaf {

std::string JsonString(TextView text);

class JsonObject {
public:
    JsonObject& Add(const std::string& key, long long value);
    JsonObject& Add(const std::string& key, TextView value);
    JsonObject& AddRaw(const std::string& key, const std::string& json);
    std::string Str() const { return "{" + body_ + "}"; }

private:
    std::string body_;
};

}  // namespace mushaf
