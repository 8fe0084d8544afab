#include "ui/mapview/GPSViewDocumentDelegate.h"

#include "core/document/WendDocument.h"
#include "ui/mapview/GPSView.h"

namespace wend {

GPSViewDocumentDelegate::GPSViewDocumentDelegate(WendDocument& document, GPSView& view)
    : m_document(document), m_view(&view) {
    auto recache = [this] {
        if (m_view)
            m_view->recacheTrackDrawingData();
    };
    auto redraw = [this] {
        if (m_view)
            m_view->update();
    };
    m_trackDataConnection = m_document.trackDataDidChange().connect(recache);
    // The renderer sees which items' selections changed and builds only their caches again.
    m_selectionConnection = m_document.selectionDidChange().connect(redraw);
    m_redisplayConnection = m_document.itemsNeedRedisplay().connect(redraw);
    view.setDelegate(this);
}

GPSViewDocumentDelegate::~GPSViewDocumentDelegate() {
    m_document.trackDataDidChange().disconnect(m_trackDataConnection);
    m_document.selectionDidChange().disconnect(m_selectionConnection);
    m_document.itemsNeedRedisplay().disconnect(m_redisplayConnection);
    if (m_view && m_view->delegate() == this)
        m_view->setDelegate(nullptr);
}

const ItemList& GPSViewDocumentDelegate::GPSViewItems(GPSView*) {
    return m_document.GPSViewItems();
}

void GPSViewDocumentDelegate::GPSViewWillChangeSelection(GPSView*) {
    m_document.GPSViewWillChangeSelection();
}

void GPSViewDocumentDelegate::GPSViewDidChangeSelection(GPSView*) {
    m_document.GPSViewDidChangeSelection();
}

void GPSViewDocumentDelegate::GPSViewToolWasUsed(GPSView*, int) {
    m_document.GPSViewToolWasUsed();
}

} // namespace wend
