#include "core/model/XMLFragment.h"

#include <new>

namespace wend::detail {

XMLFragment* XMLFragment::create(const unsigned char* bytes, std::size_t size) {
    void* memory = ::operator new(sizeof(XMLFragment) + size);
    auto* fragment = new (memory) XMLFragment();
    fragment->m_size = static_cast<std::uint32_t>(size);
    if (size)
        std::memcpy(const_cast<unsigned char*>(fragment->data()), bytes, size);
    return fragment;
}

void XMLFragment::release() const {
    if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        this->~XMLFragment();
        ::operator delete(const_cast<XMLFragment*>(this));
    }
}

} // namespace wend::detail
