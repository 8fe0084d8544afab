#pragma once

#include "core/document/Clipboard.h"

#include <QPointer>

class QClipboard;
class QMimeData;

namespace wend {

// The system clipboard for the document commands: each type is one MIME format of the
// clipboard's QMimeData.
class QtClipboard : public Clipboard {
public:
    // The application's clipboard by default.
    explicit QtClipboard(QClipboard* clipboard = nullptr);

    void clearContents() override;
    void setData(std::string_view type, std::vector<std::uint8_t> data) override;
    std::optional<std::vector<std::uint8_t>> data(std::string_view type) const override;
    bool hasType(std::string_view type) const override;

private:
    QClipboard* m_clipboard;
    // What this object put on the clipboard last; further types are added to it, while
    // anything another program placed there is replaced.
    QPointer<QMimeData> m_written;
};

} // namespace wend
