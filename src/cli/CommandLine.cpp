#include "cli/CommandLine.h"

#include "core/base/SafeFileWriter.h"
#include "core/formats/GPXParser.h"

#include <charconv>
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
            if (!onlyPositional && arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9'))
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
        if (isIn(flags, name) && !inlineValue) {
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

double CommandLine::numberValue(const std::string& name, double fallback) const {
    auto text = value(name);
    if (!text)
        return fallback;
    double v = 0;
    auto r = std::from_chars(text->data(), text->data() + text->size(), v);
    if (r.ec != std::errc() || r.ptr != text->data() + text->size())
        throw UsageError("option --" + name + " needs a number, not \"" + *text + "\"");
    return v;
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
        throw UsageError(path + ": " + oneLine(result.error.value_or(GPXParser::couldNotLoadError())));
    if (result.error)
        std::cerr << "wend-cli: " << path << ": " << oneLine(*result.error) << "\n";
    return result;
}

void writeGPXOrFail(const GPSDocument& document, const std::string& path, const GPXWriteOptions& options) {
    std::vector<NamespaceWarning> warnings;
    std::string failure = SafeFileWriter::writeFile(path, [&](ByteSink& sink) {
        auto result = GPXWriter::write(document, sink, options);
        warnings = std::move(result.warnings);
        return result.ok;
    });
    for (const auto& w : warnings)
        std::cerr << "wend-cli: " << path << ": " << oneLine(w.error) << "\n";
    if (!failure.empty())
        throw UsageError(failure);
}

void writeFileOrFail(const std::string& path, const std::string& bytes) {
    std::string failure = SafeFileWriter::writeFile(path, [&](ByteSink& sink) {
        return sink.write(bytes.data(), bytes.size());
    });
    if (!failure.empty())
        throw UsageError(failure);
}

} // namespace wend::cli
