#pragma once

#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <string>
#include <string_view>
#include <vector>

namespace wend {

// The kept elements behind fields that the editors show. Every `link` of an item, a waypoint
// or the metadata is kept whole (address, text and type), in file order; the model's link
// field is the address of the last one (the link the reader has always taken), so changing
// the field changes only that address. The metadata's `author` is kept whole (name, e-mail, link); the
// author field is its name.
class KeptFieldElements {
public:
    // The model's link field for kept elements: the address of the last `link`, or empty.
    static std::string linkField(const XMLElementList& elements);
    // The links to write for kept elements and the model's link address: the kept links in
    // order, the last one with the model's address. A link whose address the user emptied is
    // left out; without kept links, one link of the address when there is one.
    static std::vector<XMLElement> linksToWrite(const XMLElementList& elements,
                                                std::string_view address);

    // The author's name: the text of its `name`; the text of an author holding text alone
    // (the GPX 1.0 form) unless blank.
    static std::string authorName(const XMLElement& author);
    // The author to write for the kept author (null when none) and the model's author name:
    // the kept e-mail and link with that name; null when nothing is left to write.
    static XMLElement authorToWrite(const XMLElement& author, std::string_view name);
};

} // namespace wend
