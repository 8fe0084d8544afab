# Faults seeded into src/core, one at a time, to learn whether the tests notice them.
# Each fault is one exact substitution in one file; the runner refuses a fault whose text is
# not found exactly once, so an edit nearby that changes the text shows up at once instead
# of silently testing nothing. Keep the old text short but unique in its file.

from collections import namedtuple

Fault = namedtuple("Fault", "name path old new")

FAULTS = [
    # ---- model ------------------------------------------------------------------------------
    Fault("selection-joins-a-gap", "src/core/model/Selection.cpp",
          "b.location == a.end() + 1;", "b.location == a.end() + 2;"),
    Fault("selection-last-index-unselected", "src/core/model/Selection.cpp",
          "index <= std::prev(after)->end()", "index < std::prev(after)->end()"),
    Fault("time-century-leap-years", "src/core/model/GPXTime.cpp",
          "(y % 4 == 0 && y % 100 != 0) || y % 400 == 0", "(y % 4 == 0 && y % 100 != 0)"),
    Fault("time-zone-sign", "src/core/model/GPXTime.cpp",
          "const int sign = *p == '-' ? -1 : 1;", "const int sign = *p == '-' ? 1 : -1;"),
    Fault("time-milliseconds-digits", "src/core/model/GPXTime.cpp",
          "putDigits(p, fraction / 1000, 3)", "putDigits(p, fraction / 10000, 3)"),
    Fault("distance-ignores-climb", "src/core/model/GPSPoint.cpp",
          "return std::hypot(d, dz);", "return d;"),
    Fault("longitude-180-wraps", "src/core/model/GPSPoint.cpp",
          "while (value > bound)", "while (value >= bound)"),
    Fault("point-undo-keeps-too-much", "src/core/model/GPSItem.cpp",
          "m_itemPoints.size() - prefix - suffix,", "m_itemPoints.size() - prefix,"),
    # ---- reader -----------------------------------------------------------------------------
    Fault("reader-longitude-from-latitude", "src/core/formats/GPXParser.cpp",
          "point->setLongitude(lon);", "point->setLongitude(lat);"),
    Fault("reader-keeps-empty-segments", "src/core/formats/GPXParser.cpp",
          "if (!segment.empty())", "if (!segment.empty() || true)"),
    Fault("reader-symbol-as-type", "src/core/formats/GPXParser.cpp",
          "m_template.symbol = std::string(text);", "m_template.waypointType = std::string(text);"),
    Fault("number-sign-dropped", "src/core/base/LenientNumber.cpp",
          "return negative ? -value : value;", "return value;"),
    # ---- writer -----------------------------------------------------------------------------
    Fault("writer-five-decimals", "src/core/formats/GPXWriter.cpp",
          "std::chars_format::fixed, 6)", "std::chars_format::fixed, 5)"),
    Fault("writer-route-points-as-track-points", "src/core/formats/GPXWriter.cpp",
          'track ? "trkpt" : "rtept"', 'track ? "rtept" : "trkpt"'),
    # ---- processing -------------------------------------------------------------------------
    Fault("statistics-ascent-sign", "src/core/processing/TrackStatistics.cpp",
          "ascended += elevation - reference.elevation();",
          "ascended += reference.elevation() - elevation;"),
    Fault("statistics-steepest-descent-is-max", "src/core/processing/TrackStatistics.cpp",
          "s.maxDescendingGradient = descendingGradients.calculateMinDiscardingOutliers",
          "s.maxDescendingGradient = descendingGradients.calculateMaxDiscardingOutliers"),
    Fault("statistics-averaging-window", "src/core/processing/StatisticAccumulator.cpp",
          "sum / static_cast<double>(kAveragingWindow);",
          "sum / static_cast<double>(kAveragingWindow + 1);"),
    Fault("simplify-threshold-doubled", "src/core/processing/TrackSimplifier.cpp",
          "strength * kPi / 4;", "strength * kPi / 2;"),
    Fault("simplify-seam-turn", "src/core/processing/TrackSimplifier.cpp",
          "if (turn > kPi)", "if (turn > 2 * kPi)"),
    Fault("rest-stop-piece-one-past", "src/core/processing/RestStopSplitter.cpp",
          "stop.location + stop.length - 1;", "stop.location + stop.length;"),
    Fault("offset-timestamps-sign", "src/core/processing/TimestampRewriter.cpp",
          "time->addingSeconds(seconds)", "time->addingSeconds(-seconds)"),
    Fault("sort-points-newest-first", "src/core/processing/TrackGeometry.cpp",
          "return !ta || *ta < *tb;", "return !ta || *ta > *tb;"),
    # ---- undo -------------------------------------------------------------------------------
    Fault("undo-replays-in-recorded-order", "src/core/document/UndoManager.cpp",
          "for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)",
          "for (auto it = step.actions.begin(); it != step.actions.end(); ++it)"),
    Fault("undo-new-change-keeps-redo", "src/core/document/UndoManager.cpp",
          "if (!m_isUndoing && !m_isRedoing)\n        discardRedoStack();",
          "if (!m_isUndoing && !m_isRedoing)\n        (void)0;"),
    Fault("undo-saved-state-below", "src/core/document/UndoManager.cpp",
          "*m_savedChangeCount > m_changeCount", "*m_savedChangeCount < m_changeCount"),
    # ---- commands and document --------------------------------------------------------------
    Fault("delete-piece-loses-cut-point", "src/core/document/TrackCommands.cpp",
          "addPiece(s, location);", "addPiece(s, location - 1);"),
    Fault("reverse-reverses-times", "src/core/document/TrackCommands.cpp",
          "copy->setTime(points[i]->time());", "copy->setTime(points[n - 1 - i]->time());"),
    Fault("merge-single-track", "src/core/document/TrackCommands.cpp",
          "if (mergeable.size() < 2)", "if (mergeable.size() < 1)"),
    Fault("milliseconds-cut-to-thousandths", "src/core/document/TrackCommands.cpp",
          "micros - micros % 1'000'000", "micros - micros % 1'000"),
    Fault("extract-drops-last-point", "src/core/document/WendDocument.cpp",
          "points.begin() + static_cast<std::ptrdiff_t>(last) + 1));",
          "points.begin() + static_cast<std::ptrdiff_t>(last)));"),
    Fault("new-items-keep-no-colour", "src/core/document/WendDocument.cpp",
          "if (!item->itemColor())", "if (item->itemColor())"),
    Fault("colour-pool-repeats", "src/core/document/PathColorPool.cpp",
          "std::string name = m_unused.back();", "std::string name = m_unused.front();"),
    Fault("merge-available-for-one-track", "src/core/document/DocumentAction.cpp",
          "document.selectedItemIndexes().size() > 1;", "document.selectedItemIndexes().size() > 0;"),
]
