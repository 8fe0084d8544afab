#pragma once

#include "core/formats/GPXWriter.h"
#include "core/model/GPSDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// One form of a document on a pasteboard: its type and its bytes.
struct PasteboardRepresentation {
    std::string type;
    std::vector<std::uint8_t> data;

    bool operator==(const PasteboardRepresentation&) const = default;
};

// How a GPSDocument travels over the clipboard: the keyed archive that Wend reads back on
// paste, under the GPX type, and GPX text for every other application. Types are MIME types,
// the names the clipboards of Linux desktops (and Qt's QMimeData) use; the archive is read
// as plain bytes, with no conversion by the clipboard. Only the general pasteboard (the
// clipboard) carries documents: drags inside the application bring their own payload.
class PasteboardFormats {
public:
    // The registered MIME type of GPX files.
    static constexpr std::string_view kGPXType = "application/gpx+xml";
    static constexpr std::string_view kPlainTextType = "text/plain";

    // The GPX type, then plain text; nothing for any other pasteboard than the general one.
    static std::vector<std::string> writableTypes(bool isGeneralPasteboard);
    // The GPX type alone, for the general pasteboard only: pasting GPX text is not supported.
    static std::vector<std::string> readableTypes(bool isGeneralPasteboard);

    // For the GPX type the keyed archive of the document, for plain text its GPX text (UTF-8),
    // for any other type nothing. The GPX writer's namespace warnings are appended to
    // `warnings` for the caller to show.
    static std::optional<std::vector<std::uint8_t>>
    pasteboardDataForType(const GPSDocument& document, std::string_view type,
                          const GPXWriteOptions& options = {},
                          std::vector<NamespaceWarning>* warnings = nullptr);

    // Every writable type of the general pasteboard with its bytes, in the order offered.
    static std::vector<PasteboardRepresentation>
    representations(const GPSDocument& document, const GPXWriteOptions& options = {},
                    std::vector<NamespaceWarning>* warnings = nullptr);

    // A new document holding what the bytes hold, or nothing when the type is not the GPX type
    // or the bytes are not a keyed archive of a document.
    static std::shared_ptr<GPSDocument>
    documentFromPasteboardData(std::span<const std::uint8_t> bytes, std::string_view type);
};

} // namespace wend
