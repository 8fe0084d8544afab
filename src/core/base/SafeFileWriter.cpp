#include "core/base/SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wend {

namespace {
std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

std::string SafeFileWriter::writeFile(const std::string& path,
                                      const std::function<bool(ByteSink&)>& produce,
                                      const std::string& abandonMessage, Durability durability) {
    std::string pattern = directoryOf(path) + "/." + fileNameOf(path) + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        return "cannot create a file in " + directoryOf(path) + ": " + std::strerror(errno);
    const std::string tempPath = pattern;

    // Keep the permissions of the file being replaced, or the usual ones for a new file.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }

    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        int err = errno;
        ::close(fd);
        ::unlink(tempPath.c_str());
        return std::string("cannot write: ") + std::strerror(err);
    }
    static constexpr std::size_t kBufferSize = 1 << 20;
    std::setvbuf(file, nullptr, _IOFBF, kBufferSize);

    FileByteSink sink(file);
    bool produced = produce(sink);
    std::string failure;
    if (!produced)
        failure = abandonMessage;
    else if (!sink.ok() || std::fflush(file) != 0)
        failure = std::string("cannot write ") + path + ": " + std::strerror(errno);
    else if (durability == Durability::Synced && ::fsync(::fileno(file)) != 0)
        failure = std::string("cannot write ") + path + ": " + std::strerror(errno);
    if (std::fclose(file) != 0 && failure.empty())
        failure = std::string("cannot write ") + path + ": " + std::strerror(errno);
    if (failure.empty() && std::rename(tempPath.c_str(), path.c_str()) != 0)
        failure = std::string("cannot replace ") + path + ": " + std::strerror(errno);
    if (!failure.empty())
        ::unlink(tempPath.c_str());
    return failure;
}

} // namespace wend
