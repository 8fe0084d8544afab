#include "core/formats/PasteboardFormats.h"

#include "core/formats/KeyedArchive.h"

#include <iterator>

namespace wend {

std::vector<std::string> PasteboardFormats::writableTypes(bool isGeneralPasteboard) {
    if (!isGeneralPasteboard)
        return {};
    return {std::string(kGPXType), std::string(kPlainTextType)};
}

std::vector<std::string> PasteboardFormats::readableTypes(bool isGeneralPasteboard) {
    if (!isGeneralPasteboard)
        return {};
    return {std::string(kGPXType)};
}

std::optional<std::vector<std::uint8_t>>
PasteboardFormats::pasteboardDataForType(const GPSDocument& document, std::string_view type,
                                         const GPXWriteOptions& options,
                                         std::vector<NamespaceWarning>* warnings) {
    if (type == kGPXType)
        return KeyedArchive::archiveDocument(document);
    if (type == kPlainTextType) {
        std::vector<NamespaceWarning> written;
        const std::string text = GPXWriter::GPXString(document, options, &written);
        if (warnings)
            warnings->insert(warnings->end(), std::make_move_iterator(written.begin()),
                             std::make_move_iterator(written.end()));
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    return std::nullopt;
}

std::vector<PasteboardRepresentation>
PasteboardFormats::representations(const GPSDocument& document, const GPXWriteOptions& options,
                                   std::vector<NamespaceWarning>* warnings) {
    std::vector<PasteboardRepresentation> result;
    for (auto& type : writableTypes(true)) {
        auto data = pasteboardDataForType(document, type, options, warnings);
        result.push_back({std::move(type), std::move(data).value_or(std::vector<std::uint8_t>{})});
    }
    return result;
}

std::shared_ptr<GPSDocument>
PasteboardFormats::documentFromPasteboardData(std::span<const std::uint8_t> bytes,
                                              std::string_view type) {
    if (type != kGPXType)
        return nullptr;
    auto decoded = KeyedArchive::unarchiveDocument(bytes);
    if (!decoded)
        return nullptr;
    auto document = GPSDocument::document();
    document->setXMLElements(decoded->XMLElements());
    document->setDocumentName(decoded->documentName());
    document->setDocumentDescription(decoded->documentDescription());
    document->setDocumentAuthor(decoded->documentAuthor());
    document->setDocumentLink(decoded->documentLink());
    document->setDocumentItems(decoded->documentItems());
    document->setXMLNamespaces(decoded->XMLNamespaces());
    document->setXMLSchemaLocation(decoded->XMLSchemaLocation());
    document->setMetadataExtensions(decoded->metadataExtensions());
    // Copyright and keywords are kept like the metadata extensions, so they travel too.
    document->setMetadataElements(decoded->metadataElements());
    return document;
}

} // namespace wend
