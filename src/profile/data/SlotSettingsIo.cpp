#include "profile/data/SlotSettingsIo.h"

namespace tarvex {

std::vector<std::string_view> SplitSettingsFields(std::string_view text) {
    std::vector<std::string_view> fields;
    constexpr std::string_view kDelimiters = " ,\t\r\n";
    std::size_t at = text.find_first_not_of(kDelimiters);
    while (at != std::string_view::npos) {
        const std::size_t end = text.find_first_of(kDelimiters, at);
        fields.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = text.find_first_not_of(kDelimiters, end);
    }
    return fields;
}

} // namespace tarvex
