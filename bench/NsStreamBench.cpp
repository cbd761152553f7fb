// Throughput of the container's body coders: -lh5- compression of text-like
// and incompressible data, and Blowfish encryption of a padded stream.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/NsStreamCol.h"
#include "data/NsStreamRoutines.h"
#include "gcl/rtl/Streams.h"

namespace {

std::vector<uint8_t> TaskLikeText(size_t n) {
    static const char* words[] = {"Call ", "Bob ", "about ", "the ", "quarterly ", "report ", "buy ",
                                  "milk ", "home", "work", "\xF7", "\xBD", "12/05/2025 ", "urgent,",
                                  "shopping,", "\r\n"};
    std::mt19937 rng(11);
    std::vector<uint8_t> b;
    b.reserve(n);
    while (b.size() < n) {
        const char* w = words[rng() % std::size(words)];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

std::vector<uint8_t> RandomBytes(size_t n) {
    std::mt19937 rng(12);
    std::vector<uint8_t> b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

void Compress(benchmark::State& state, const std::vector<uint8_t>& data) {
    gcl::TMemoryStream src;
    src.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    int64_t outSize = 0;
    for (auto _ : state) {
        gcl::TMemoryStream dst;
        src.Seek(0, gcl::soBeginning);
        qelvo::LzhCompressStream(src, dst);
        outSize = dst.GetSize();
        benchmark::DoNotOptimize(dst.GetMemory());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
    state.counters["ratio"] = static_cast<double>(outSize) / static_cast<double>(data.size());
}

void BM_LzhCompressText(benchmark::State& state) {
    static const auto data = TaskLikeText(4 << 20);
    Compress(state, data);
}
BENCHMARK(BM_LzhCompressText)->Unit(benchmark::kMillisecond);

void BM_LzhCompressRandom(benchmark::State& state) {
    static const auto data = RandomBytes(4 << 20);
    Compress(state, data);
}
BENCHMARK(BM_LzhCompressRandom)->Unit(benchmark::kMillisecond);

void BM_LzhCompressRun(benchmark::State& state) {
    static const std::vector<uint8_t> data(4 << 20, 'a');
    Compress(state, data);
}
BENCHMARK(BM_LzhCompressRun)->Unit(benchmark::kMillisecond);

void BM_BlowfishEncryptStream(benchmark::State& state) {
    static const auto data = RandomBytes(4 << 20);
    for (auto _ : state) {
        gcl::TMemoryStream s;
        s.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
        benchmark::DoNotOptimize(qelvo::EncryptStream(s, "a container key"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_BlowfishEncryptStream)->Unit(benchmark::kMillisecond);

// A whole container as the export writes it, but compressed and encrypted.
void BM_NsStreamsSaveCompressedEncrypted(benchmark::State& state) {
    static const auto data = TaskLikeText(1 << 20);
    qelvo::TNsStreams* c = qelvo::TNsStreams::Create(nullptr);
    gcl::TMemoryStream item;
    item.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    c->AddStream(".jmw", &item);
    c->SetEncrypted(true);
    c->SetKey("a container key");
    for (auto _ : state) {
        gcl::TMemoryStream out;
        c->SaveToStream(out);
        benchmark::DoNotOptimize(out.GetMemory());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
    c->Free();
}
BENCHMARK(BM_NsStreamsSaveCompressedEncrypted)->Unit(benchmark::kMillisecond);

} // namespace
