#include "core/document/ClipboardCommands.h"

#include "core/document/TrackCommands.h"
#include "core/document/WendDocument.h"
#include "core/formats/PasteboardFormats.h"

#include <charconv>
#include <cmath>

namespace wend {

namespace {

// Six decimals with a full stop: the text is pasted elsewhere, so it must not follow the locale.
std::string fixedSix(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

std::string escapedHTML(std::string_view text) {
    std::string result;
    for (char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

bool ClipboardCommands::canCopy(const WendDocument& document) {
    return document.hasSelection();
}

bool ClipboardCommands::canPaste(const Clipboard& clipboard) {
    return pastedDocument(clipboard) != nullptr;
}

void ClipboardCommands::writeItems(WendDocument& document, const ItemList& items,
                                   Clipboard& clipboard) {
    auto copied = GPSDocument::documentWithItems(items);
    GPXWriteOptions options;
    options.saveGarminFriendly = document.preferences().saveGarminFriendlyDocs();
    std::vector<NamespaceWarning> warnings;
    auto representations = PasteboardFormats::representations(*copied, options, &warnings);
    clipboard.clearContents();
    for (auto& representation : representations)
        clipboard.setData(representation.type, std::move(representation.data));
    document.showNamespaceWarnings(warnings);
}

bool ClipboardCommands::copy(WendDocument& document, Clipboard& clipboard) {
    if (!canCopy(document))
        return false;
    writeItems(document, document.itemsForSelectedPoints(), clipboard);
    return true;
}

bool ClipboardCommands::cut(WendDocument& document, Clipboard& clipboard) {
    if (!copy(document, clipboard))
        return false;
    auto& undoManager = document.undoManager();
    undoManager.beginUndoGrouping();
    TrackCommands::deleteSelection(document);
    undoManager.setActionName(kCutActionName);
    undoManager.endUndoGrouping();
    return true;
}

std::shared_ptr<GPSDocument> ClipboardCommands::pastedDocument(const Clipboard& clipboard) {
    for (const auto& type : PasteboardFormats::readableTypes(true)) {
        auto bytes = clipboard.data(type);
        if (!bytes)
            continue;
        if (auto pasted = PasteboardFormats::documentFromPasteboardData(*bytes, type))
            return pasted;
    }
    return nullptr;
}

bool ClipboardCommands::paste(WendDocument& document, Clipboard& clipboard) {
    auto pasted = pastedDocument(clipboard);
    if (!pasted || pasted->documentItems().empty())
        return false;
    auto& undoManager = document.undoManager();
    undoManager.beginUndoGrouping();
    document.addItems(pasted->documentItems());
    document.delegate().fitTracksToView();
    undoManager.setActionName(kPasteActionName);
    undoManager.endUndoGrouping();
    return true;
}

std::string ClipboardCommands::statisticsText(const std::vector<StatisticsRow>& rows) {
    std::string text;
    for (const auto& row : rows)
        text += row.text() + "\n";
    return text;
}

void ClipboardCommands::copyStatistics(const std::vector<StatisticsRow>& rows,
                                       Clipboard& clipboard) {
    std::string html = "<html><body>";
    for (const auto& row : rows) {
        if (row.label.empty())
            html += escapedHTML(row.value);
        else
            html += "<b>" + escapedHTML(row.label) + ":</b> " + escapedHTML(row.value);
        html += "<br>\n";
    }
    html += "</body></html>";
    clipboard.clearContents();
    clipboard.setText(statisticsText(rows));
    clipboard.setText(html, Clipboard::kHTMLType);
}

std::optional<std::string>
ClipboardCommands::centerCoordinatesOfSelection(const WendDocument& document) {
    double latitudes = 0;
    double longitudes = 0;
    std::size_t count = 0;
    for (const auto& item : document.itemsForSelectedPoints()) {
        for (const auto& point : item->itemPoints()) {
            if (std::isnan(point->latitude()) || std::isnan(point->longitude()))
                continue;
            latitudes += point->latitude();
            longitudes += point->longitude();
            ++count;
        }
    }
    if (count == 0)
        return std::nullopt;
    const double n = static_cast<double>(count);
    return fixedSix(latitudes / n) + ", " + fixedSix(longitudes / n);
}

bool ClipboardCommands::copyCenterCoordinatesOfSelection(const WendDocument& document,
                                                         Clipboard& clipboard) {
    auto text = centerCoordinatesOfSelection(document);
    if (!text)
        return false;
    clipboard.clearContents();
    clipboard.setText(*text);
    return true;
}

std::optional<std::string> ClipboardCommands::linkFromMetadata(const WendDocument& document) {
    const auto selected = document.selectedItems();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (!(*it)->itemLink().empty())
            return (*it)->itemLink();
    return std::nullopt;
}

bool ClipboardCommands::copyLinkFromMetadata(const WendDocument& document, Clipboard& clipboard) {
    auto link = linkFromMetadata(document);
    if (!link)
        return false;
    clipboard.clearContents();
    clipboard.setText(*link);
    return true;
}

} // namespace wend
