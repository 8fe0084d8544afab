#include "cli/InfoCommand.h"

#include "cli/CommandLine.h"
#include "core/formats/GPXParser.h"
#include "core/model/GPXTime.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace wend::cli {

namespace {
nlohmann::json timeOrNull(const std::optional<Instant>& time) {
    return time ? nlohmann::json(GPXTime::format(*time)) : nlohmann::json(nullptr);
}

std::string timeOrDash(const std::optional<Instant>& time) {
    return time ? GPXTime::format(*time) : "-";
}

nlohmann::json describeAsJSON(const std::string& path, const GPXReadResult& result) {
    nlohmann::json out;
    out["file"] = path;
    out["name"] = result.document && !result.document->documentName().empty()
                      ? nlohmann::json(result.document->documentName())
                      : nlohmann::json(nullptr);
    out["warning"] =
        result.hasWarning() ? nlohmann::json(oneLine(*result.error)) : nlohmann::json(nullptr);
    out["error"] =
        !result.document
            ? nlohmann::json(oneLine(result.error.value_or(GPXParser::couldNotLoadError())))
            : nlohmann::json(nullptr);
    out["items"] = nlohmann::json::array();
    if (result.document)
        for (const auto& item : result.document->documentItems())
            out["items"].push_back({{"type", itemTypeName(item->itemType())},
                                    {"name", item->itemName()},
                                    {"points", item->itemPoints().size()},
                                    {"start", timeOrNull(item->startDate())},
                                    {"finish", timeOrNull(item->finishDate())}});
    return out;
}

void describeAsText(const std::string& path, const GPXReadResult& result) {
    std::cout << path << "\n";
    if (!result.document) {
        std::cout << "  error: " << oneLine(result.error.value_or(GPXParser::couldNotLoadError()))
                  << "\n";
        return;
    }
    const auto& doc = *result.document;
    std::cout << "  name: " << (doc.documentName().empty() ? "-" : doc.documentName()) << "\n";
    for (const auto& item : doc.documentItems()) {
        auto count = item->itemPoints().size();
        std::cout << "  " << itemTypeName(item->itemType()) << " \"" << item->itemName() << "\" "
                  << count << (count == 1 ? " point " : " points ") << timeOrDash(item->startDate())
                  << " " << timeOrDash(item->finishDate()) << "\n";
    }
    if (result.hasWarning())
        std::cout << "  warning: " << oneLine(*result.error) << "\n";
}
} // namespace

int runInfo(const std::vector<std::string>& arguments) {
    CommandLine line(arguments, {"json"}, {});
    if (line.positional().empty())
        throw UsageError("expected FILE...");
    int status = 0;
    for (const auto& path : line.positional()) {
        GPXReadResult result = GPXParser::parseFile(path);
        if (line.flag("json"))
            std::cout << describeAsJSON(path, result).dump() << "\n";
        else
            describeAsText(path, result);
        status = std::max(status, !result.document ? 2 : result.error ? 1 : 0);
    }
    return status;
}

} // namespace wend::cli
