#include "core/profile/TrackPointExtensionReader.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace wend {

using detail::ElementHeader;
using detail::readString;
using detail::RecordKind;

namespace {

// The versions as RootPrefix counts them.
enum class Version { None = 0, V1 = 1, V2 = 2 };

Version versionOfNamespace(std::string_view uri) {
    if (uri == TrackPointExtensionReader::kNamespaceV1)
        return Version::V1;
    if (uri == TrackPointExtensionReader::kNamespaceV2)
        return Version::V2;
    return Version::None;
}

// The namespace declarations in force at one element: its own and those of the kept elements
// around it, innermost last. Kept extensions nest only a few levels deep.
class Scope {
public:
    explicit Scope(const std::vector<TrackPointExtensionReader::RootPrefix>& rootPrefixes)
        : m_rootPrefixes(rootPrefixes) {}

    void push(const ElementHeader& header) {
        m_levels[m_depth++] = {header.namespaces, header.namespaceCount};
    }
    void pop() { --m_depth; }
    bool full() const { return m_depth == kMaxDepth; }

    // The version whose namespace the element's prefix stands for, if any.
    Version versionOfElement(std::string_view qualifiedName) const {
        const std::string_view prefix = prefixOfQualifiedName(qualifiedName);
        for (int level = m_depth - 1; level >= 0; --level) {
            const unsigned char* p = m_levels[level].declarations;
            for (std::uint32_t i = 0; i < m_levels[level].count; ++i) {
                const std::string_view declaredPrefix = readString(p);
                const std::string_view uri = readString(p);
                if (declaredPrefix == prefix)
                    return versionOfNamespace(uri);
            }
        }
        for (const auto& root : m_rootPrefixes)
            if (root.prefix == prefix)
                return static_cast<Version>(root.version);
        return Version::None;
    }

private:
    static constexpr int kMaxDepth = 4;
    struct Level {
        const unsigned char* declarations = nullptr;
        std::uint32_t count = 0;
    };

    const std::vector<TrackPointExtensionReader::RootPrefix>& m_rootPrefixes;
    Level m_levels[kMaxDepth];
    int m_depth = 0;
};

// The number an element holds as its text; NaN for anything else.
double numberIn(const ElementHeader& header) {
    for (const unsigned char* c = header.children; c < header.end; c += detail::recordSize(c)) {
        const RecordKind kind = detail::recordKind(c);
        if (kind != RecordKind::Text && kind != RecordKind::CData)
            continue;
        std::string_view text = detail::recordText(c);
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos)
            continue;
        text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
            return TrackPointExtensionValues::NaN;
        return value;
    }
    return TrackPointExtensionValues::NaN;
}

double* fieldFor(TrackPointExtensionValues& values, std::string_view localName, Version version) {
    if (localName == "hr")
        return &values.heartRate;
    if (localName == "cad")
        return &values.cadence;
    if (localName == "atemp")
        return &values.airTemperature;
    if (localName == "wtemp")
        return &values.waterTemperature;
    if (version == Version::V2) {
        if (localName == "speed")
            return &values.speed;
        if (localName == "course")
            return &values.course;
    }
    return nullptr;
}

// Reads the children of a TrackPointExtension element that belong to its own namespace.
void readExtension(const ElementHeader& extension, Version version, Scope& scope,
                   TrackPointExtensionValues& values) {
    if (scope.full())
        return;
    scope.push(extension);
    for (const unsigned char* c = extension.children; c < extension.end;
         c += detail::recordSize(c)) {
        if (detail::recordKind(c) != RecordKind::Element || scope.full())
            continue;
        const ElementHeader child = ElementHeader::parse(c);
        scope.push(child);
        if (scope.versionOfElement(child.name) == version) {
            if (double* field = fieldFor(values, localPartOfQualifiedName(child.name), version))
                *field = numberIn(child);
        }
        scope.pop();
    }
    scope.pop();
}

// Looks for the extension in this element and, one level down, among its children.
bool findExtension(const unsigned char* record, Scope& scope, bool lookInside,
                   TrackPointExtensionValues& values) {
    const ElementHeader header = ElementHeader::parse(record);
    if (localPartOfQualifiedName(header.name) == "TrackPointExtension") {
        scope.push(header);
        const Version version = scope.versionOfElement(header.name);
        scope.pop();
        if (version != Version::None) {
            readExtension(header, version, scope, values);
            return true;
        }
    }
    if (!lookInside)
        return false;
    scope.push(header);
    bool found = false;
    for (const unsigned char* c = header.children; c < header.end && !found;
         c += detail::recordSize(c))
        if (detail::recordKind(c) == RecordKind::Element)
            found = findExtension(c, scope, false, values);
    scope.pop();
    return found;
}

} // namespace

TrackPointExtensionReader::TrackPointExtensionReader(std::vector<XMLNamespaceDecl> documentNamespaces) {
    for (const auto& declaration : documentNamespaces)
        m_rootPrefixes.push_back(
            {declaration.prefix, static_cast<int>(versionOfNamespace(declaration.uri))});
}

TrackPointExtensionValues TrackPointExtensionReader::read(const XMLElementList& elements) const {
    TrackPointExtensionValues values;
    if (elements.empty())
        return values;
    Scope scope(m_rootPrefixes);
    const unsigned char* record = elements.records();
    const unsigned char* end = record + elements.recordsSize();
    for (; record < end; record += detail::recordSize(record))
        if (detail::recordKind(record) == RecordKind::Element &&
            findExtension(record, scope, true, values))
            break;
    return values;
}

} // namespace wend
