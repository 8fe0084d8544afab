#pragma once

#include <QImage>
#include <QSize>

class QPrinter;

namespace wend {

// Prints the map area of a window as an image: 10-point margins on every side, the image
// scaled to fit one page, landscape when it is wider than tall.
class MapPrinter {
public:
    static constexpr double kMarginPoints = 10;

    // Margins and orientation for an image of this size.
    static void preparePrinter(QPrinter& printer, QSize imageSize);
    // The image, scaled to the printable area with its proportions kept. False when the
    // printer could not start.
    static bool printImage(QPrinter& printer, const QImage& image);
};

} // namespace wend
