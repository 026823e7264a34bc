// Reads a START or END argument ("H:M:S", "M:S" or "S") the way the window's time boxes read.
#include "timeargument.h"

#include "leadinginteger.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<std::string_view> splitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

} // namespace

std::optional<TimeMark> ParseTimeArgument(std::string_view text, std::string* error)
{
    const auto fields = splitFields(text);
    if (fields.size() > 3) {
        if (error)
            *error = "\"" + std::string(text) + "\" is not a time (H:M:S, M:S or S)";
        return std::nullopt;
    }
    // Fields fill hours, minutes, seconds from the right: "1:30" is 1 minute 30 seconds.
    std::int32_t values[3] = {};
    const std::size_t first = 3 - fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto value = ParseLeadingInteger(fields[i]);
        if (!value) {
            if (error && fields.size() == 1)
                *error = "\"" + std::string(text) + "\" is not a time (H:M:S, M:S or S)";
            else if (error)
                *error = "the field \"" + std::string(fields[i]) + "\" of \"" + std::string(text)
                    + "\" is not an integer";
            return std::nullopt;
        }
        values[first + i] = *value;
    }
    return TimeMark { values[0], values[1], values[2] };
}
