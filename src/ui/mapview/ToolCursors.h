#pragma once

#include "core/tools/ToolCursor.h"

#include <QCursor>

namespace wend {

// The cursors of the map view: Qt's crosshair and hands, and the application's crosshairs
// marked for adding, subtracting and moving, drawn from vector images at the screen's pixel
// ratio with the hot spot at (7, 7), so they stay sharp on HiDPI screens.
class ToolCursors {
public:
    static constexpr int kHotSpot = 7;
    static constexpr int kSize = 22;

    static QCursor cursor(ToolCursor cursor);
    // The image of a marked crosshair at a pixel ratio (for tests and screenshots).
    static QPixmap crosshairPixmap(ToolCursor cursor, qreal devicePixelRatio);
};

} // namespace wend
