#pragma once

// Internal storage of kept XML: one reference-counted, immutable byte block per list of
// elements. Handles (XMLElement, XMLElementList) share blocks instead of copying trees, so
// a point's heart-rate extension costs one small allocation and copying it costs nothing.
//
// A block is a sequence of records. Every record starts with a kind byte and its total size
// (u32, header included). Element records continue with the qualified name, the namespace
// declarations, the attributes and then the child records:
//   kind | size | nameLen name | nsCount (prefixLen prefix uriLen uri)* |
//   attrCount (nameLen name valueLen value)* | children...
// Text, comment and CDATA records hold their bytes after the header.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace wend::detail {

enum class RecordKind : unsigned char { Element = 1, Text = 2, Comment = 3, CData = 4 };

constexpr std::size_t kRecordHeaderSize = 1 + 4;

inline std::uint32_t readU32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline RecordKind recordKind(const unsigned char* record) {
    return static_cast<RecordKind>(record[0]);
}
inline std::uint32_t recordSize(const unsigned char* record) { return readU32(record + 1); }

// Reads a length-prefixed string and advances the cursor past it.
inline std::string_view readString(const unsigned char*& p) {
    std::uint32_t n = readU32(p);
    std::string_view s(reinterpret_cast<const char*>(p + 4), n);
    p += 4 + n;
    return s;
}

// The parsed header of an element record.
struct ElementHeader {
    std::string_view name;
    std::uint32_t namespaceCount = 0;
    const unsigned char* namespaces = nullptr; // (prefix, uri) pairs
    std::uint32_t attributeCount = 0;
    const unsigned char* attributes = nullptr; // (name, value) pairs
    const unsigned char* children = nullptr;
    const unsigned char* end = nullptr;

    static ElementHeader parse(const unsigned char* record) {
        ElementHeader h;
        h.end = record + recordSize(record);
        const unsigned char* p = record + kRecordHeaderSize;
        h.name = readString(p);
        h.namespaceCount = readU32(p);
        p += 4;
        h.namespaces = p;
        for (std::uint32_t i = 0; i < h.namespaceCount; ++i) {
            readString(p);
            readString(p);
        }
        h.attributeCount = readU32(p);
        p += 4;
        h.attributes = p;
        for (std::uint32_t i = 0; i < h.attributeCount; ++i) {
            readString(p);
            readString(p);
        }
        h.children = p;
        return h;
    }
};

inline std::string_view recordText(const unsigned char* record) {
    return std::string_view(reinterpret_cast<const char*>(record + kRecordHeaderSize),
                            recordSize(record) - kRecordHeaderSize);
}

class XMLFragment {
public:
    static XMLFragment* create(const unsigned char* bytes, std::size_t size);

    const unsigned char* data() const { return reinterpret_cast<const unsigned char*>(this + 1); }
    std::size_t size() const { return m_size; }

    void retain() const { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void release() const;

private:
    XMLFragment() = default;
    mutable std::atomic<std::uint32_t> m_refs{1};
    std::uint32_t m_size = 0;
};

// Shared ownership of a fragment (an intrusive pointer: one word per handle).
class FragmentRef {
public:
    FragmentRef() = default;
    explicit FragmentRef(XMLFragment* adopted) : m_fragment(adopted) {}
    FragmentRef(const FragmentRef& other) : m_fragment(other.m_fragment) {
        if (m_fragment)
            m_fragment->retain();
    }
    FragmentRef(FragmentRef&& other) noexcept : m_fragment(std::exchange(other.m_fragment, nullptr)) {}
    FragmentRef& operator=(FragmentRef other) noexcept {
        std::swap(m_fragment, other.m_fragment);
        return *this;
    }
    ~FragmentRef() {
        if (m_fragment)
            m_fragment->release();
    }

    const XMLFragment* get() const { return m_fragment; }
    explicit operator bool() const { return m_fragment != nullptr; }

private:
    XMLFragment* m_fragment = nullptr;
};

} // namespace wend::detail
