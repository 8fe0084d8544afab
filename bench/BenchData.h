#pragma once

#include "core/formats/GPXReadResult.h"
#include "core/model/GPSItem.h"

#include <cstddef>
#include <memory>
#include <string>

namespace wend::bench {

// The path of a generated input ("1m.gpx") in the data folder; WEND_BENCH_DATA overrides it.
std::string dataPath(const std::string& name);

// Reads a generated file once per process; nothing when it is missing or unreadable (the
// benchmark then reports "run bench/run-all.sh first").
std::shared_ptr<GPSDocument> cachedDocument(const std::string& name);

// A track built in memory, one point per second heading north-east, so that benchmarks of
// editing need no generated file.
GPSItemPtr trackInMemory(std::size_t pointCount);

// The CPU time of the calling thread: shown beside wall times, which shared machines stretch.
double threadCPUSeconds();

} // namespace wend::bench
