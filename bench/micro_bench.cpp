// Micro-benchmarks of the two costs that every examination pays: opening a TIFF, which reads
// the header and the whole chain of image file directories, and building an error, which
// formats its message once.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uTiffFile.h"
#include "uValue.h"

namespace {

// A TIFF with a long chain of directories, made by bench/run with GDAL and tiffcp; its path
// comes in KESTREL_BENCH_CHAIN.
void OpenDirectoryChain(benchmark::State& state) {
    const char* path = std::getenv("KESTREL_BENCH_CHAIN");
    if (path == nullptr) {
        state.SkipWithError("KESTREL_BENCH_CHAIN names no file");
        return;
    }
    const TuFileName name(path);
    std::size_t entries = 0;
    for (auto _ : state) {
        TuTiffFile file(name, ModeExamine);
        entries = file.TagCount();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["entries/s"] =
        benchmark::Counter(static_cast<double>(entries) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(OpenDirectoryChain)->Unit(benchmark::kMicrosecond);

// Raising a cause with three typed arguments: catalogue lookup, argument copies, formatting.
void RaiseAndFormatMessage(benchmark::State& state) {
    for (auto _ : state) {
        const TuException error(TuCauseOpenDirectoryMissing, 3, u"/maps/2026/old/sheet-0042.tif",
                                u"old", 2);
        benchmark::DoNotOptimize(error.Message());
    }
}
BENCHMARK(RaiseAndFormatMessage);

// The formatter alone, with a program fact in the template.
void FormatTemplate(benchmark::State& state) {
    TuValue arguments[2];
    arguments[0].SetWideText(u"/maps/2026/old/sheet-0042.tif");
    arguments[1].SetInt(13);
    const char16_t* messageTemplate =
        u"The file named %1>s could not be processed; the %1^b program says code %2>d.";
    char16_t output[256];
    for (auto _ : state) {
        const int length = TuFormat(output, 256, messageTemplate, arguments, 2);
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(output);
    }
}
BENCHMARK(FormatTemplate);

} // namespace
