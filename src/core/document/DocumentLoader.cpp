#include "core/document/DocumentLoader.h"

#include "core/formats/GPXParser.h"

namespace wend {

GPXReadResult DocumentLoader::loadDocumentFromData(std::string_view bytes) { return GPXParser::parseData(bytes); }

GPXReadResult DocumentLoader::loadDocumentFromFile(const std::string& path, const Progress& progress) {
    return GPXParser::parseFile(path, progress);
}

} // namespace wend
