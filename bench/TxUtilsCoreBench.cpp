// The theming toolkit's hot paths: recomputing the pixels an image changed
// (the image effects' inner loop) and fetching a cached gradient table.
// Each case measures its floor in the same run (a plain walk over the same
// pixels, a read of an already built table) and reports the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "theming/TxUtilsCore.h"
#include "BenchTiming.h"

using qelvo::bench::MedianSeconds;

namespace {

using TClock = std::chrono::steady_clock;

void ReportAgainstFloorUs(benchmark::State& state, double seconds, int iterations, double floor, double limit) {
    state.counters["floor_us"] = floor * 1e6;
    state.counters["ratio"] = seconds / std::max(iterations, 1) / floor;
    state.counters["limit"] = limit;
}

// A 256 x 256 work area in which the image changed every other pixel.
struct TWorkArea {
    std::vector<uint32_t> Background, Image;
    TWorkArea() : Background(256 * 256), Image(256 * 256) {
        for (size_t i = 0; i < Background.size(); ++i) {
            Background[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
            Image[i] = (i & 1) ? Background[i] : (Background[i] ^ 0x5A5A5A);
        }
    }
};

template <class Fn>
void Recompute(TWorkArea& w, std::vector<uint32_t>& out, Fn fn) {
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = w.Image[i] != w.Background[i] ? fn(w.Image[i], w.Background[i]) : w.Background[i];
}

void BM_ImageEffectPixels(benchmark::State& state) {
    TWorkArea w;
    std::vector<uint32_t> out(w.Background.size());
    // The floor walks the same pixels and copies the changed ones unchanged.
    const double floor = MedianSeconds(15, [&] {
        Recompute(w, out, [](uint32_t image, uint32_t) { return image; });
        benchmark::DoNotOptimize(out.data());
    });
    double total = 0;
    int runs = 0;
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const auto t0 = TClock::now();
        if (mode == 0)
            Recompute(w, out, [](uint32_t image, uint32_t bg) { return qelvo::BlendedPixel(image, bg, 128); });
        else
            Recompute(w, out, [](uint32_t image, uint32_t bg) { return qelvo::ShadedPixel(image, bg, 1); });
        benchmark::DoNotOptimize(out.data());
        total += std::chrono::duration<double>(TClock::now() - t0).count();
        ++runs;
    }
    ReportAgainstFloorUs(state, total, runs, floor, 6);
}
BENCHMARK(BM_ImageEffectPixels)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_GradientCacheHit(benchmark::State& state) {
    qelvo::TGradientCache cache;
    for (int k = 0; k < 16; ++k) cache.Get(200, k, 0xFFFFFF);
    const std::vector<qelvo::TColor> built = qelvo::GradientTable(200, 0, 0xFFFFFF);
    // The floor reads a table that is already there.
    const double floor = MedianSeconds(15, [&] {
        for (int k = 0; k < 16; ++k) benchmark::DoNotOptimize(built[static_cast<size_t>(k)]);
    });
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        for (int k = 0; k < 16; ++k) benchmark::DoNotOptimize(cache.Get(200, k, 0xFFFFFF)[static_cast<size_t>(k)]);
        total += std::chrono::duration<double>(TClock::now() - t0).count();
        ++runs;
    }
    ReportAgainstFloorUs(state, total, runs, std::max(floor, 1e-9), 200);
    state.counters["build_us"] = MedianSeconds(15, [&] {
        benchmark::DoNotOptimize(qelvo::GradientTable(200, 0, 0xFFFFFF).data());
    }) * 1e6;
}
BENCHMARK(BM_GradientCacheHit)->Unit(benchmark::kMicrosecond);

} // namespace
