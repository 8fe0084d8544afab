#pragma once

#include "core/model/XMLElement.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <vector>

namespace wend {

// An immutable ordered list of kept elements, stored as one shared fragment (an empty list
// holds nothing at all). Copying shares; "adding" builds a new list.
class XMLElementList {
public:
    XMLElementList() = default;
    XMLElementList(std::initializer_list<XMLElement> elements);
    explicit XMLElementList(const std::vector<XMLElement>& elements);

    // Builds a list from encoded top-level element records (other records are skipped).
    static XMLElementList fromRecords(const unsigned char* records, std::size_t size);

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = XMLElement;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = XMLElement;

        const_iterator() = default;
        XMLElement operator*() const { return XMLElement(m_fragment, m_offset); }
        const_iterator& operator++() {
            m_offset += detail::recordSize(m_fragment.get()->data() + m_offset);
            return *this;
        }
        const_iterator operator++(int) {
            auto copy = *this;
            ++*this;
            return copy;
        }
        bool operator==(const const_iterator& other) const { return m_offset == other.m_offset; }

    private:
        friend class XMLElementList;
        const_iterator(detail::FragmentRef fragment, std::uint32_t offset)
            : m_fragment(std::move(fragment)), m_offset(offset) {}
        detail::FragmentRef m_fragment;
        std::uint32_t m_offset = 0;
    };

    const_iterator begin() const { return const_iterator(m_fragment, 0); }
    const_iterator end() const {
        return const_iterator(m_fragment, m_fragment ? static_cast<std::uint32_t>(m_fragment.get()->size()) : 0);
    }

    bool empty() const { return !m_fragment; }
    std::size_t size() const;
    XMLElement operator[](std::size_t index) const;
    // The first element with this qualified name, or a null element.
    XMLElement elementNamed(std::string_view qualifiedName) const;
    std::vector<XMLElement> toVector() const;
    XMLElementList appending(const XMLElement& element) const;

    // Same elements (by content) in the same order.
    bool operator==(const XMLElementList& other) const;

    // The encoded records of the whole list, for serialisers.
    const unsigned char* records() const { return m_fragment ? m_fragment.get()->data() : nullptr; }
    std::size_t recordsSize() const { return m_fragment ? m_fragment.get()->size() : 0; }

private:
    detail::FragmentRef m_fragment;
};

} // namespace wend
