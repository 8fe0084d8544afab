#include "cli/CommandLine.h"

#include "core/base/SafeFileWriter.h"
#include "core/formats/GPXParser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace wend::cli {

CommandLine::CommandLine(std::vector<std::string> arguments, std::vector<std::string> flags,
                         std::vector<std::string> valueOptions) {
    auto isIn = [](const std::vector<std::string>& list, const std::string& s) {
        for (auto& e : list)
            if (e == s)
                return true;
        return false;
    };
    bool onlyPositional = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (onlyPositional || arg.size() < 2 || arg.rfind("--", 0) != 0) {
            if (!onlyPositional && arg.size() > 1 && arg[0] == '-' &&
                !(arg[1] >= '0' && arg[1] <= '9'))
                throw UsageError("unknown option " + arg);
            m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (isIn(flags, name)) {
            if (inlineValue)
                throw UsageError("option --" + name + " takes no value");
            m_flags[name] = true;
        } else if (isIn(valueOptions, name)) {
            if (inlineValue) {
                m_values[name] = *inlineValue;
            } else {
                if (i + 1 >= arguments.size())
                    throw UsageError("option --" + name + " needs a value");
                m_values[name] = arguments[++i];
            }
        } else {
            throw UsageError("unknown option --" + name);
        }
    }
}

std::optional<std::string> CommandLine::value(const std::string& name) const {
    auto it = m_values.find(name);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

double CommandLine::numberValue(const std::string& name, double fallback, double minimum) const {
    auto text = value(name);
    if (!text)
        return fallback;
    double v = 0;
    auto r = std::from_chars(text->data(), text->data() + text->size(), v);
    if (r.ec != std::errc() || r.ptr != text->data() + text->size() || !std::isfinite(v))
        throw UsageError("option --" + name + " needs a number, not \"" + *text + "\"");
    if (v < minimum) {
        char bound[32];
        std::snprintf(bound, sizeof bound, "%g", minimum);
        throw UsageError("option --" + name + " needs a number of at least " + bound + ", not \"" +
                         *text + "\"");
    }
    return v;
}

double CommandLine::requiredNumberValue(const std::string& name, double minimum) const {
    if (!value(name))
        throw UsageError("option --" + name + " is required");
    return numberValue(name, 0, minimum);
}

void CommandLine::expectPositional(std::size_t count, const std::string& names) const {
    if (m_positional.size() != count)
        throw UsageError("expected " + names);
}

std::string oneLine(const WendError& error) {
    std::string text = error.description + ": " + error.failureReason;
    for (auto& c : text)
        if (c == '\n')
            c = ' ';
    // Collapse the blank line between a message and the XML layer's detail.
    std::string out;
    for (char c : text)
        if (!(c == ' ' && !out.empty() && out.back() == ' '))
            out.push_back(c);
    return out;
}

GPXReadResult readDocumentOrFail(const std::string& path) {
    GPXReadResult result = GPXParser::parseFile(path);
    if (!result.document)
        throw UsageError(path + ": " +
                         oneLine(result.error.value_or(GPXParser::couldNotLoadError())));
    if (result.error)
        std::cerr << "wend-cli: " << path << ": " << oneLine(*result.error) << "\n";
    return result;
}

void writeGPXOrFail(const GPSDocument& document, const std::string& path,
                    const GPXWriteOptions& options) {
    std::vector<NamespaceWarning> warnings;
    std::string failure = SafeFileWriter::writeFile(
        path,
        [&](ByteSink& sink) {
            auto result = GPXWriter::write(document, sink, options);
            warnings = std::move(result.warnings);
            return result.ok;
        },
        "the data could not be produced", SafeFileWriter::Durability::Unsynced);
    for (const auto& w : warnings)
        std::cerr << "wend-cli: " << path << ": " << oneLine(w.error) << "\n";
    if (!failure.empty())
        throw UsageError(failure);
}

void writeFileOrFail(const std::string& path, const std::string& bytes) {
    writeFileOrFail(path, [&](ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
}

void writeFileOrFail(const std::string& path, const std::function<bool(ByteSink&)>& produce) {
    std::string failure =
        SafeFileWriter::writeFile(path, produce, "the data could not be produced", SafeFileWriter::Durability::Unsynced);
    if (!failure.empty())
        throw UsageError(failure);
}

std::string itemTypeName(GPSItemType type) {
    switch (type) {
    case GPSItemType::Track:
        return "track";
    case GPSItemType::Route:
        return "route";
    case GPSItemType::Waypoint:
        return "waypoint";
    case GPSItemType::Unknown:
        break;
    }
    return "unknown";
}

void selectAllPoints(const ItemList& items) {
    for (const auto& item : items)
        if (!item->itemPoints().empty())
            item->setItemSelection(item->itemSelection().selectionBySelectingAll());
}

} // namespace wend::cli
