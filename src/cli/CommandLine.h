#pragma once

#include "core/document/PathColorPool.h"
#include "core/formats/GPXReadResult.h"
#include "core/formats/GPXWriter.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wend::cli {

// A usage mistake: reported as one line on stderr with exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments of one command: positional arguments, flags (--name) and options with a
// value (--name VALUE or --name=VALUE). Unknown options are usage errors.
class CommandLine {
public:
    CommandLine(std::vector<std::string> arguments, std::vector<std::string> flags,
                std::vector<std::string> valueOptions);

    const std::vector<std::string>& positional() const { return m_positional; }
    bool flag(const std::string& name) const { return m_flags.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const;
    // The option's finite number, at least `minimum`; `fallback` when the option is absent.
    double numberValue(const std::string& name, double fallback,
                       double minimum = -std::numeric_limits<double>::infinity()) const;
    // Like numberValue, for an option that must be given.
    double requiredNumberValue(const std::string& name, double minimum) const;

    // Exactly `count` positional arguments, else a usage error naming them.
    void expectPositional(std::size_t count, const std::string& names) const;

private:
    std::vector<std::string> m_positional;
    std::map<std::string, bool> m_flags;
    std::map<std::string, std::string> m_values;
};

// Reads a GPX file; prints a repair warning to stderr. Throws UsageError when the file cannot
// be read (with the reader's message).
GPXReadResult readDocumentOrFail(const std::string& path);

// Writes a document as GPX with the safe-replace rule (a temporary file renamed over the
// target); namespace warnings go to stderr. Throws UsageError when writing fails.
void writeGPXOrFail(const GPSDocument& document, const std::string& path,
                    const GPXWriteOptions& options);

// Writes bytes to `path` with the safe-replace rule. Throws UsageError when writing fails.
void writeFileOrFail(const std::string& path, const std::string& bytes);
// Writes what `produce` puts into its sink to `path` with the safe-replace rule; `produce`
// returns false when the sink failed. Throws UsageError when writing fails.
void writeFileOrFail(const std::string& path, const std::function<bool(ByteSink&)>& produce);

std::string oneLine(const WendError& error);

// "track", "route", "waypoint" or "unknown".
std::string itemTypeName(GPSItemType type);

// The batch commands work on whole items, as if the user had selected every point of each.
void selectAllPoints(const ItemList& items);

} // namespace wend::cli
