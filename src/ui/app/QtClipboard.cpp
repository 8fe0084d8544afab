#include "ui/app/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace wend {

namespace {
QString mimeType(std::string_view type) {
    return QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
}
} // namespace

QtClipboard::QtClipboard(QClipboard* clipboard)
    : m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard()) {}

void QtClipboard::clearContents() {
    m_written = nullptr;
    m_clipboard->clear();
}

void QtClipboard::setData(std::string_view type, std::vector<std::uint8_t> data) {
    auto* mime = new QMimeData;
    const QMimeData* current = m_clipboard->mimeData();
    if (current && current == m_written.data()) {
        for (const QString& format : current->formats())
            mime->setData(format, current->data(format));
    }
    mime->setData(mimeType(type), QByteArray(reinterpret_cast<const char*>(data.data()),
                                             static_cast<qsizetype>(data.size())));
    m_clipboard->setMimeData(mime);
    m_written = mime;
}

std::optional<std::vector<std::uint8_t>> QtClipboard::data(std::string_view type) const {
    const QMimeData* mime = m_clipboard->mimeData();
    const QString format = mimeType(type);
    if (!mime || !mime->hasFormat(format))
        return std::nullopt;
    const QByteArray bytes = mime->data(format);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QtClipboard::hasType(std::string_view type) const {
    const QMimeData* mime = m_clipboard->mimeData();
    return mime && mime->hasFormat(mimeType(type));
}

} // namespace wend
