#pragma once
// A JSON object built member by member, in the order they are added.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reports/ups_readings.h"
#include "reports/status_json.h"

namespace velt {

// A value is JSON text already.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string json) {
        members_.emplace_back(key, std::move(json));
        return *this;
    }
    JsonObject& AddNumber(std::string_view key, const std::optional<double>& value) {
        if (value) Add(key, DecimalText(*value).value_or("null"));
        return *this;
    }
    std::string Text() const {
        std::string text = "{";
        for (const auto& [key, json] : members_) {
            if (text.size() > 1) text += ",";
            text += JsonString(key) + ":" + json;
        }
        return text + "}";
    }

private:
    std::vector<std::pair<std::string_view, std::string>> members_;
};

}  // namespace velt
