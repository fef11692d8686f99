#pragma once
// The reader's settings in memory, for tests of what is kept: the values by
// key, and how many times they were committed.
#include <map>
#include <optional>
#include <string>

#include "platform/Services.h"

namespace mushaf::testing {

class MemorySettings : public Settings {
public:
    std::optional<std::u16string> Get(const std::u16string&, const std::u16string&, const std::u16string& key) const override {
        auto at = values.find(key);
        return at == values.end() ? std::nullopt : std::optional(at->second);
    }
    void Set(const std::u16string&, const std::u16string&, const std::u16string& key, const std::u16string& value) override {
        values[key] = value;
    }
    void Commit() override { ++commits; }
    std::map<std::u16string, std::u16string> values;
    int commits = 0;
};

}  // namespace mushaf::testing
