#include "core/formats/GPX10RootFields.h"

#include "core/formats/KeptFieldElements.h"
#include "core/model/XMLElementBuilder.h"
#include "core/model/XMLElementList.h"

#include <algorithm>
#include <iterator>

namespace wend {

namespace {

// A GPX 1.0 e-mail address as GPX 1.1 writes it: id and domain.
XMLElement emailElement(std::string_view address) {
    const auto first = address.find_first_not_of(" \t\r\n");
    address = first == std::string_view::npos ? std::string_view() : address.substr(first);
    address = address.substr(0, address.find_last_not_of(" \t\r\n") + 1);
    const auto at = address.rfind('@');
    XMLElementBuilder email("email");
    email.addAttribute("id", std::string(address.substr(0, at)));
    email.addAttribute("domain", at == std::string_view::npos ? std::string()
                                                               : std::string(address.substr(at + 1)));
    return email.build();
}

std::string emailAddress(const XMLElement& email) {
    return std::string(email.attribute("id").value_or("")) + "@" +
           std::string(email.attribute("domain").value_or(""));
}

// The last element of the name, or the end.
std::vector<XMLElement>::iterator lastNamed(std::vector<XMLElement>& elements, std::string_view name) {
    auto found = std::find_if(elements.rbegin(), elements.rend(),
                              [&](const XMLElement& e) { return e.name() == name; });
    return found == elements.rend() ? elements.end() : std::prev(found.base());
}

} // namespace

// The root's author and e-mail complete the metadata's author.
void GPX10RootFields::mergeAuthor(std::vector<XMLElement>& metadata, std::vector<std::string>& leftOut) const {
    if (!author && !email)
        return;
    auto kept = lastNamed(metadata, "author");
    const XMLElement before = kept == metadata.end() ? XMLElement() : *kept;
    XMLElementBuilder merged = before ? XMLElementBuilder(before) : XMLElementBuilder("author");
    if (author) {
        const std::string current = before ? KeptFieldElements::authorName(before) : std::string();
        if (current.empty())
            merged.createChildNamed("name").setStringValue(*author);
        else if (current != *author)
            leftOut.push_back("author \"" + *author + "\"");
    }
    if (email) {
        const XMLElement address = emailElement(*email);
        const XMLElement current = before ? before.childNamed("email") : XMLElement();
        if (!current)
            merged.appendChild(address);
        else if (emailAddress(current) != emailAddress(address))
            leftOut.push_back("email \"" + *email + "\"");
    }
    if (kept == metadata.end())
        metadata.push_back(merged.build());
    else
        *kept = merged.build();
}

std::string GPX10RootFields::moveIntoMetadata(GPSDocument& document, std::vector<XMLElement> metadata,
                                              bool metadataName, bool metadataDescription) const {
    std::vector<std::string> leftOut;
    if (name && !metadataName)
        document.setDocumentName(*name);
    else if (name && *name != document.documentName())
        leftOut.push_back("name \"" + *name + "\"");
    if (description && !metadataDescription)
        document.setDocumentDescription(*description);
    else if (description && *description != document.documentDescription())
        leftOut.push_back("desc \"" + *description + "\"");
    mergeAuthor(metadata, leftOut);

    // Kept as the writer writes it (name, e-mail, link; a GPX 1.0 text as the name), so that
    // it reads back the same.
    if (auto kept = lastNamed(metadata, "author"); kept != metadata.end()) {
        const std::string authorName = KeptFieldElements::authorName(*kept);
        document.setDocumentAuthor(authorName);
        if (XMLElement written = KeptFieldElements::authorToWrite(*kept, authorName))
            *kept = written;
        else
            metadata.erase(kept);
    }
    // The metadata's own links stay after the root's, so the link field stays theirs.
    if (link)
        metadata.insert(metadata.begin(), link);
    auto rank = [](const XMLElement& e) {
        const std::string_view order[] = {"author", "copyright", "link", "keywords"};
        return std::find(std::begin(order), std::end(order), e.name()) - std::begin(order);
    };
    std::stable_sort(metadata.begin(), metadata.end(),
                     [&](const XMLElement& a, const XMLElement& b) { return rank(a) < rank(b); });
    XMLElementList list(metadata);
    document.setDocumentLink(KeptFieldElements::linkField(list));
    if (!list.empty())
        document.setMetadataElements(list);

    if (leftOut.empty())
        return {};
    std::string text = "The metadata's own values were kept; left out from the top of the file:";
    for (std::size_t i = 0; i < leftOut.size(); ++i)
        text += (i ? ", " : " ") + leftOut[i];
    return text;
}

} // namespace wend
