#pragma once

#include <string>
#include <string_view>

namespace wend {

// Text from files that claim to be UTF-8 but are not (a Windows-1252 or Latin-1 file without
// an encoding declaration) must not reach the model as broken UTF-8: it would be saved as
// such and make the saved file unreadable.
class UTF8Text {
public:
    static bool isValid(std::string_view text);
    // Valid sequences are kept; every other byte is read as Windows-1252 (Latin-1 with the
    // typographic characters in 0x80-0x9F), so "Caf\xe9" becomes "Café".
    static std::string repaired(std::string_view text);
};

} // namespace wend
