#pragma once

#include "core/model/GPSDocument.h"
#include "core/model/GPSItem.h"
#include "core/model/GPSPoint.h"
#include "core/model/Selection.h"
#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace wend {

// The keyed archive of the model, used for the clipboard and for drag payloads: every object
// becomes a keyed map (CBOR through nlohmann-json) under the same keys the model's fields
// have always been archived with. Times are integer microseconds since 1970, colours four
// numbers (hue, saturation, brightness, alpha), index ranges "{L, N}" texts and kept
// elements maps holding their XML text under "XMLString".
//
// Decoding accepts any bytes: it gives a valid object or nothing, never throws. Missing keys
// read as absent (a missing double as 0); a key holding the wrong kind of value, text that is
// not UTF-8 or holds characters XML cannot carry, or an archive of another class gives nothing.
// Kept elements whose text does not parse are dropped, selections are made normal, and every
// decoded item is visible.
class KeyedArchive {
public:
    using Value = nlohmann::json;

    // The key naming the archived class at the top of every archive.
    static constexpr std::string_view kClassKey = "$class";
    // Archives nest a few levels only; deeper input is refused before it is parsed.
    static constexpr std::size_t kMaxDepth = 32;
    // Selection ranges that are not already normal are only repaired up to this count.
    static constexpr std::size_t kMaxRangesToRepair = 10000;

    // Whole archives: the object as bytes, and back.
    static std::vector<std::uint8_t> archiveDocument(const GPSDocument& document);
    static std::shared_ptr<GPSDocument> unarchiveDocument(std::span<const std::uint8_t> bytes);
    static std::vector<std::uint8_t> archiveItem(const GPSItem& item);
    static std::shared_ptr<GPSItem> unarchiveItem(std::span<const std::uint8_t> bytes);
    static std::vector<std::uint8_t> archivePoint(const GPSPoint& point);
    static std::shared_ptr<GPSPoint> unarchivePoint(std::span<const std::uint8_t> bytes);
    static std::vector<std::uint8_t> archiveSelection(const Selection& selection);
    static std::optional<Selection> unarchiveSelection(std::span<const std::uint8_t> bytes);
    static std::vector<std::uint8_t> archiveElement(const XMLElement& element);
    // Nothing for a malformed archive; a null element when the archived text does not parse.
    static std::optional<XMLElement> unarchiveElement(std::span<const std::uint8_t> bytes);

    // Single objects as keyed values, for payloads that combine several (the tracks list's
    // drag payload). The encoders never throw; the decoders follow the rules above.
    static Value encodeElement(const XMLElement& element);
    static Value encodeElementList(const XMLElementList& elements);
    static Value encodePoint(const GPSPoint& point);
    static Value encodeSelection(const Selection& selection);
    static Value encodeItem(const GPSItem& item);
    static Value encodeDocument(const GPSDocument& document);

    static std::optional<XMLElement> decodeElement(const Value& value);
    static std::optional<XMLElementList> decodeElementList(const Value& value);
    static std::shared_ptr<GPSPoint> decodePoint(const Value& value);
    static std::optional<Selection> decodeSelection(const Value& value);
    static std::shared_ptr<GPSItem> decodeItem(const Value& value);
    static std::shared_ptr<GPSDocument> decodeDocument(const Value& value);

    // Any value as CBOR bytes, and back. Reading refuses malformed or truncated CBOR, CBOR
    // tags, input nested deeper than kMaxDepth and counts larger than the input could hold.
    static std::vector<std::uint8_t> bytesFromValue(const Value& value);
    static std::optional<Value> valueFromBytes(std::span<const std::uint8_t> bytes);

    // The top-level map of an archive of the named class, or nothing.
    static std::vector<std::uint8_t> archiveValue(std::string_view className, Value value);
    static std::optional<Value> unarchiveValue(std::span<const std::uint8_t> bytes,
                                               std::string_view className);
};

} // namespace wend
