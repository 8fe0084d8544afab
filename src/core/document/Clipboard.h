#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// The general clipboard as the document's commands see it: typed byte blobs (MIME types).
// The Qt layer implements it over QClipboard/QMimeData; tests use InMemoryClipboard.
class Clipboard {
public:
    static constexpr std::string_view kPlainTextType = "text/plain";
    static constexpr std::string_view kHTMLType = "text/html";

    virtual ~Clipboard() = default;

    // Every writing command clears the clipboard first, then sets one blob per type.
    virtual void clearContents() = 0;
    virtual void setData(std::string_view type, std::vector<std::uint8_t> data) = 0;
    // Nothing when the clipboard holds no data of the type.
    virtual std::optional<std::vector<std::uint8_t>> data(std::string_view type) const = 0;
    virtual bool hasType(std::string_view type) const { return data(type).has_value(); }

    void setText(std::string_view text, std::string_view type = kPlainTextType);
    std::optional<std::string> text(std::string_view type = kPlainTextType) const;
};

// A clipboard that lives in memory, for tests and the command line tool.
class InMemoryClipboard : public Clipboard {
public:
    void clearContents() override { m_contents.clear(); }
    void setData(std::string_view type, std::vector<std::uint8_t> data) override;
    std::optional<std::vector<std::uint8_t>> data(std::string_view type) const override;

    // The types held, in alphabetical order.
    std::vector<std::string> types() const;

private:
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> m_contents;
};

} // namespace wend
