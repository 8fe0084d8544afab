#include "core/document/Clipboard.h"

namespace wend {

void Clipboard::setText(std::string_view text, std::string_view type) {
    setData(type, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::optional<std::string> Clipboard::text(std::string_view type) const {
    auto bytes = data(type);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

void InMemoryClipboard::setData(std::string_view type, std::vector<std::uint8_t> data) {
    m_contents.insert_or_assign(std::string(type), std::move(data));
}

std::optional<std::vector<std::uint8_t>> InMemoryClipboard::data(std::string_view type) const {
    auto it = m_contents.find(type);
    if (it == m_contents.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> InMemoryClipboard::types() const {
    std::vector<std::string> result;
    for (const auto& entry : m_contents)
        result.push_back(entry.first);
    return result;
}

} // namespace wend
