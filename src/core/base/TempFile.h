#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace wend {

// Hands bytes to another program through a new file in the user's temporary directory
// ($TMPDIR, else /tmp). The file is created exclusively under a fresh name and is left in
// place for the program that opens it.
class TempFile {
public:
    // The directory new temporary files go to, without a trailing separator.
    static std::string temporaryDirectory();

    // Writes the bytes to a new file named "XXXXXX" (six unique characters) followed by
    // "." and the extension, or by nothing when the extension is empty. Returns the full path,
    // or nothing when the file could not be created or written completely (a partly written
    // file is removed). An extension holding a path separator is refused.
    static std::optional<std::string>
    writeToTempFileWithExtension(std::span<const std::uint8_t> bytes, std::string_view extension);
    static std::optional<std::string> writeToTempFileWithExtension(std::string_view bytes,
                                                                   std::string_view extension);
};

} // namespace wend
