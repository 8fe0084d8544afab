#include "core/formats/KeptFieldElements.h"

#include "core/model/XMLElementBuilder.h"

namespace wend {

namespace {

// The address of a link: its href, or its text when it has none.
std::string linkAddress(const XMLElement& link) {
    if (auto href = link.attribute("href"))
        return std::string(*href);
    return link.stringValue();
}

} // namespace

std::string KeptFieldElements::linkField(const XMLElementList& elements) {
    XMLElement last;
    for (auto e : elements)
        if (e.name() == "link")
            last = e;
    return last ? linkAddress(last) : std::string();
}

std::vector<XMLElement> KeptFieldElements::linksToWrite(const XMLElementList& elements,
                                                        std::string_view address) {
    std::vector<XMLElement> links;
    for (auto e : elements)
        if (e.name() == "link")
            links.push_back(e);
    if (links.empty()) {
        if (!address.empty()) {
            XMLElementBuilder link("link");
            link.addAttribute("href", std::string(address));
            links.push_back(link.build());
        }
        return links;
    }
    const XMLElement& last = links.back();
    if (last.attribute("href") == address)
        return links;
    if (address.empty()) {
        if (!linkAddress(last).empty())
            links.pop_back(); // the user removed the link
        return links;
    }
    XMLElementBuilder changed(last);
    changed.removeAttribute("href");
    changed.addAttribute("href", std::string(address));
    changed.filterChildren({"text", "type"}); // a link given as text alone becomes a valid one
    links.back() = changed.build();
    return links;
}

std::string KeptFieldElements::authorName(const XMLElement& author) {
    const auto children = author.childElements();
    for (const auto& child : children)
        if (child.localName() == "name")
            return child.stringValue();
    if (!children.empty())
        return {}; // an e-mail or link without a name
    std::string text = author.stringValue();
    return text.find_first_not_of(" \t\r\n") == std::string::npos ? std::string() : text;
}

XMLElement KeptFieldElements::authorToWrite(const XMLElement& author, std::string_view name) {
    XMLElementBuilder written =
        author.isNull() ? XMLElementBuilder("author") : XMLElementBuilder(author);
    if (!name.empty()) {
        // An unchanged name stays as it was read (a CDATA section, say).
        if (!written.hasChildNamed("name") || name != authorName(author))
            written.createChildNamed("name").setStringValue(std::string(name));
    } else {
        for (std::size_t i = written.childCount(); i-- > 0;)
            if (written.children()[i].elementName() == "name")
                written.removeChildAt(i);
    }
    // In the schema's order; the text of a GPX 1.0 author has become the name.
    written.filterChildren({"name", "email", "link"});
    if (written.childCount() == 0)
        return {};
    return written.build();
}

} // namespace wend
