// Reading and writing generated GPX files of several sizes (ele, time and a heart-rate
// extension on every point). Throughput is reported in bytes of GPX per second.

#include "BenchData.h"
#include "core/base/ByteSink.h"
#include "core/formats/GPXParser.h"
#include "core/formats/GPXWriter.h"

#include <benchmark/benchmark.h>
#include <string>
#include <sys/stat.h>

namespace {

// Counts what the writer produces without keeping it, so that only serialising is timed.
class CountingSink : public wend::ByteSink {
public:
    bool write(const char*, std::size_t size) override {
        m_size += size;
        return true;
    }
    bool ok() const override { return true; }
    std::size_t size() const { return m_size; }

private:
    std::size_t m_size = 0;
};

const char* fileForSize(std::int64_t points) {
    switch (points) {
    case 10000:
        return "10k.gpx";
    case 100000:
        return "100k.gpx";
    default:
        return "1m.gpx";
    }
}

void BM_ReadGPXFile(benchmark::State& state) {
    const std::string path = wend::bench::dataPath(fileForSize(state.range(0)));
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        state.SkipWithError("input missing: run bench/run-all.sh first");
        return;
    }
    std::size_t points = 0;
    for (auto _ : state) {
        wend::GPXReadResult result = wend::GPXParser::parseFile(path);
        if (!result.succeeded()) {
            state.SkipWithError("the input could not be read");
            return;
        }
        points = 0;
        for (const auto& item : result.document->documentItems())
            points += item->itemPoints().size();
        benchmark::DoNotOptimize(points);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * info.st_size);
    state.counters["points"] = static_cast<double>(points);
}

void BM_WriteGPX(benchmark::State& state) {
    const auto document = wend::bench::cachedDocument(fileForSize(state.range(0)));
    if (!document) {
        state.SkipWithError("input missing: run bench/run-all.sh first");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        wend::GPXWriter::write(*document, sink);
        bytes = sink.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

} // namespace

BENCHMARK(BM_ReadGPXFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WriteGPX)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
