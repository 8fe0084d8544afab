#pragma once

#include "core/base/Signal.h"
#include "ui/mapview/GPSViewDelegate.h"

#include <QPointer>

namespace wend {

class WendDocument;

// Connects a map view to its document: the view asks the document for its items and brackets
// its selection changes with the document's; the document's track-data notification rebuilds
// the view's drawing caches, its selection notification and a redisplay request redraw it
// (the renderer rebuilds the caches of the items whose selection changed). The
// web map follows the view through GPSView::willMoveTo, which the window connects.
//
// Installs itself as the view's delegate; destroying it removes it again. Either the view or
// this object may be destroyed first.
class GPSViewDocumentDelegate : public GPSViewDelegate {
public:
    GPSViewDocumentDelegate(WendDocument& document, GPSView& view);
    ~GPSViewDocumentDelegate() override;
    GPSViewDocumentDelegate(const GPSViewDocumentDelegate&) = delete;
    GPSViewDocumentDelegate& operator=(const GPSViewDocumentDelegate&) = delete;

    const ItemList& GPSViewItems(GPSView* view) override;
    void GPSViewWillChangeSelection(GPSView* view) override;
    void GPSViewDidChangeSelection(GPSView* view) override;
    void GPSViewToolWasUsed(GPSView* view, int toolIndex) override;

private:
    WendDocument& m_document;
    QPointer<GPSView> m_view;
    Signal<>::ConnectionId m_trackDataConnection = 0;
    Signal<>::ConnectionId m_selectionConnection = 0;
    Signal<>::ConnectionId m_redisplayConnection = 0;
};

} // namespace wend
