#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace wend {

// Where serialised bytes go. A sink that fails keeps failing; writers check `ok()` at the end
// so that a failed write is never reported as success.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* bytes, std::size_t size) = 0;
    virtual bool ok() const = 0;
};

class StringByteSink : public ByteSink {
public:
    explicit StringByteSink(std::string& out) : m_out(out) {}
    bool write(const char* bytes, std::size_t size) override {
        m_out.append(bytes, size);
        return true;
    }
    bool ok() const override { return true; }

private:
    std::string& m_out;
};

// Writes to an open stdio stream; does not close it.
class FileByteSink : public ByteSink {
public:
    explicit FileByteSink(std::FILE* file) : m_file(file) {}
    bool write(const char* bytes, std::size_t size) override {
        if (m_ok && std::fwrite(bytes, 1, size, m_file) != size)
            m_ok = false;
        return m_ok;
    }
    bool ok() const override { return m_ok; }

private:
    std::FILE* m_file;
    bool m_ok = true;
};

} // namespace wend
