#include "core/base/TempFile.h"

#include <cerrno>
#include <cstdlib>
#include <stdlib.h>
#include <unistd.h>
#include <vector>

namespace wend {

std::string TempFile::temporaryDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::optional<std::string> TempFile::writeToTempFileWithExtension(std::string_view bytes,
                                                                  std::string_view extension) {
    if (extension.find('/') != std::string_view::npos ||
        extension.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string suffix = extension.empty() ? std::string() : "." + std::string(extension);
    std::string pattern = temporaryDirectory();
    if (pattern.back() != '/')
        pattern += '/';
    pattern += "XXXXXX";
    pattern += suffix;

    // mkstemps fills the placeholders in place, so it needs a writable buffer.
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    int fd = ::mkstemps(path.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        return std::nullopt;

    bool ok = true;
    const char* p = bytes.data();
    std::size_t remaining = bytes.size();
    while (remaining > 0) {
        ssize_t written = ::write(fd, p, remaining);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        p += written;
        remaining -= static_cast<std::size_t>(written);
    }
    // A failing close can mean the data never reached the disk.
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(path.data());
        return std::nullopt;
    }
    return std::string(path.data());
}

std::optional<std::string>
TempFile::writeToTempFileWithExtension(std::span<const std::uint8_t> bytes,
                                       std::string_view extension) {
    return writeToTempFileWithExtension(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), extension);
}

} // namespace wend
