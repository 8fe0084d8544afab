#pragma once

#include <string>
#include <string_view>

namespace wend {

// Namespace names as libxml2 accepts them. libxml2 reports a namespace name that is not a URI
// (spaces, letters beyond ASCII, a stray "%") as an error, so a file written with one would
// need repair whenever it is read again. It checks the name in its raw form, where "&" stands
// as "&#38;", whose "#" may make a second fragment: "&" is never left in a name.
class URIText {
public:
    // Whether libxml2 parses the text as a URI reference (the empty text counts as one) and
    // it holds no "&".
    static bool isParsable(std::string_view text);
    // The text with every byte outside the unreserved characters percent-encoded, except
    // valid "%XX" escapes and, when `keepDelimiters`, the URI delimiters (":/?#@!$'()*+,;=").
    static std::string percentEncoded(std::string_view text, bool keepDelimiters);
    // The text itself when parsable; otherwise percent-encoded, the way an IRI becomes a URI,
    // and with its delimiters encoded too where that is not enough (a name such as ":x").
    static std::string parsable(std::string_view text);
};

} // namespace wend
