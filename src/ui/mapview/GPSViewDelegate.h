#pragma once

#include "core/model/GPSItem.h"

namespace wend {

class GPSView;
class WendDocument;

// What the map view asks of its owner, the document. The view owns no items: it asks for them
// every time it needs them. Every operation has an empty default, so the view calls them
// unconditionally.
class GPSViewDelegate {
public:
    virtual ~GPSViewDelegate() = default;

    virtual const ItemList& GPSViewItems(GPSView* view) {
        (void)view;
        static const ItemList noItems;
        return noItems;
    }
    // Around every change of item selections made by the view or a tool.
    virtual void GPSViewWillChangeSelection(GPSView* view) { (void)view; }
    virtual void GPSViewDidChangeSelection(GPSView* view) { (void)view; }
    // On every change of centre or zoom, before the view redraws: a new zoom is already
    // stored, a new centre not yet.
    virtual void GPSViewWillMoveTo(GPSView* view, double lon, double lat, int zoomLevel) {
        (void)view;
        (void)lon;
        (void)lat;
        (void)zoomLevel;
    }
    // The document the editing tools change; without one the tools do nothing.
    virtual WendDocument* GPSViewDocument(GPSView* view) {
        (void)view;
        return nullptr;
    }
};

} // namespace wend
