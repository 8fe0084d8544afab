#include "core/model/XMLElementList.h"

#include <cstring>

namespace wend {

XMLElementList XMLElementList::fromRecords(const unsigned char* records, std::size_t size) {
    XMLElementList list;
    if (size == 0)
        return list;
    // Keep element records only; the common case (all elements) is one copy.
    std::vector<unsigned char> kept;
    bool allElements = true;
    for (std::size_t at = 0; at < size; at += detail::recordSize(records + at))
        if (detail::recordKind(records + at) != detail::RecordKind::Element)
            allElements = false;
    if (!allElements) {
        for (std::size_t at = 0; at < size; at += detail::recordSize(records + at))
            if (detail::recordKind(records + at) == detail::RecordKind::Element)
                kept.insert(kept.end(), records + at, records + at + detail::recordSize(records + at));
        records = kept.data();
        size = kept.size();
        if (size == 0)
            return list;
    }
    list.m_fragment = detail::FragmentRef(detail::XMLFragment::create(records, size));
    return list;
}

XMLElementList::XMLElementList(std::initializer_list<XMLElement> elements)
    : XMLElementList(std::vector<XMLElement>(elements)) {}

XMLElementList::XMLElementList(const std::vector<XMLElement>& elements) {
    std::vector<unsigned char> bytes;
    for (const auto& e : elements) {
        if (e.isNull())
            continue;
        bytes.insert(bytes.end(), e.record(), e.record() + e.recordSize());
    }
    if (!bytes.empty())
        m_fragment = detail::FragmentRef(detail::XMLFragment::create(bytes.data(), bytes.size()));
}

std::size_t XMLElementList::size() const {
    std::size_t n = 0;
    for (auto it = begin(); it != end(); ++it)
        ++n;
    return n;
}

XMLElement XMLElementList::operator[](std::size_t index) const {
    for (auto e : *this)
        if (index-- == 0)
            return e;
    return {};
}

XMLElement XMLElementList::elementNamed(std::string_view qualifiedName) const {
    for (auto e : *this)
        if (e.name() == qualifiedName)
            return e;
    return {};
}

std::vector<XMLElement> XMLElementList::toVector() const {
    return std::vector<XMLElement>(begin(), end());
}

XMLElementList XMLElementList::appending(const XMLElement& element) const {
    auto elements = toVector();
    elements.push_back(element);
    return XMLElementList(elements);
}

bool XMLElementList::operator==(const XMLElementList& other) const {
    return recordsSize() == other.recordsSize() &&
           (recordsSize() == 0 || std::memcmp(records(), other.records(), recordsSize()) == 0);
}

} // namespace wend
