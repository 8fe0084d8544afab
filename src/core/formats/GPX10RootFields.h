#pragma once

#include "core/model/GPSDocument.h"
#include "core/model/XMLElement.h"

#include <optional>
#include <string>
#include <vector>

namespace wend {

// What a GPX 1.0 root holds that GPX 1.1 keeps in the metadata: name, description, author,
// e-mail and link. The reader collects them and, at the end, moves them into the metadata
// read from the same file; where the metadata has values of its own, those win and the
// root's are named in the reader's warning.
class GPX10RootFields {
public:
    std::optional<std::string> name, description, author, email;
    XMLElement link; // made of url and urlname

    // Completes the document's metadata from the metadata's kept elements (author, copyright,
    // links, keywords) and these fields: the author and link fields come from the kept
    // elements, which are stored in the schema's order, the author as the writer writes it.
    // `metadataName` and `metadataDescription` tell whether the metadata had its own. Returns
    // the text naming the values left out; empty when none were.
    std::string moveIntoMetadata(GPSDocument& document, std::vector<XMLElement> metadata,
                                 bool metadataName, bool metadataDescription) const;

private:
    void mergeAuthor(std::vector<XMLElement>& metadata, std::vector<std::string>& leftOut) const;
};

} // namespace wend
