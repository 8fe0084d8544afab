#include "core/base/URIText.h"

#include <libxml/uri.h>

#include <cstring>

namespace wend {

bool URIText::isParsable(std::string_view text) {
    if (text.empty())
        return true;
    if (text.find_first_of(std::string_view("\0&", 2)) != std::string_view::npos)
        return false;
    const std::string copy(text);
    xmlURIPtr parsed = xmlParseURI(copy.c_str());
    if (!parsed)
        return false;
    xmlFreeURI(parsed);
    return true;
}

std::string URIText::percentEncoded(std::string_view text, bool keepDelimiters) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    std::string result;
    result.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        const bool delimiter = c != 0 && std::strchr(":/?#@!$'()*+,;=", c) != nullptr;
        const bool escape =
            c == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2]);
        if (unreserved || escape || (keepDelimiters && delimiter)) {
            result.push_back(static_cast<char>(c));
        } else {
            result.push_back('%');
            result.push_back(kHex[c >> 4]);
            result.push_back(kHex[c & 15]);
        }
    }
    return result;
}

std::string URIText::parsable(std::string_view text) {
    if (isParsable(text))
        return std::string(text);
    std::string result = percentEncoded(text, true);
    if (!isParsable(result))
        result = percentEncoded(text, false);
    return result;
}

} // namespace wend
