#pragma once

#include "core/document/Clipboard.h"
#include "core/model/GPSDocument.h"
#include "core/processing/StatisticsRows.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

class WendDocument;

// The clipboard commands of a document window: items travel as one GPSDocument in the
// pasteboard formats (the keyed archive under the GPX type, GPX text as plain text), texts as
// plain text. Every writing command clears the clipboard first.
class ClipboardCommands {
public:
    static constexpr std::string_view kPasteActionName = "Paste Tracks";
    static constexpr std::string_view kCutActionName = "Delete";

    // Some item has a selection (also the availability of Cut).
    static bool canCopy(const WendDocument& document);
    // The clipboard holds an archive that reads as a document.
    static bool canPaste(const Clipboard& clipboard);

    // Clears the clipboard and writes a document (without name) of these items in both
    // forms. Namespace warnings of the GPX text go to the user as when saving.
    static void writeItems(WendDocument& document, const ItemList& items, Clipboard& clipboard);

    // One item per selected stretch of points; false, clipboard untouched, without selection.
    static bool copy(WendDocument& document, Clipboard& clipboard);
    // Copy, then Delete: one undo step named "Delete".
    static bool cut(WendDocument& document, Clipboard& clipboard);

    // The document on the clipboard, or nothing.
    static std::shared_ptr<GPSDocument> pastedDocument(const Clipboard& clipboard);
    // Appends the clipboard's items and fits all items into the view, one undo step "Paste
    // Tracks". False, and nothing recorded, when the clipboard holds no readable document or
    // one without items.
    static bool paste(WendDocument& document, Clipboard& clipboard);

    // The statistics pane's lines, each followed by a line break.
    static std::string statisticsText(const std::vector<StatisticsRow>& rows);
    // Writes the lines as plain text and as HTML (labels in bold).
    static void copyStatistics(const std::vector<StatisticsRow>& rows, Clipboard& clipboard);

    // "latitude, longitude" of the mean of every selected point (a point in two selected
    // stretches counts twice), six decimals with a full stop whatever the locale. Nothing
    // without a selected point.
    static std::optional<std::string> centerCoordinatesOfSelection(const WendDocument& document);
    static bool copyCenterCoordinatesOfSelection(const WendDocument& document,
                                                 Clipboard& clipboard);

    // The link of the last selected item, in document order, that has one.
    static std::optional<std::string> linkFromMetadata(const WendDocument& document);
    static bool copyLinkFromMetadata(const WendDocument& document, Clipboard& clipboard);
};

} // namespace wend
