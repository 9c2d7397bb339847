// Cost of the host's kerning pairs and of building the export buffers.
//
//   BM_KerningPairs/N      pairs among the first N selected characters of DejaVu Sans at 32 px
//                          (the selection is the Latin and Greek/Cyrillic range from code unit 33)
//   BM_BuildExportBuffers  the colour and alpha buffers of a 1024 x 1024 texture
#include <benchmark/benchmark.h>

#include <chrono>

#include "export/export_buffers.h"
#include "export/kerning_pairs.h"

namespace {

const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void BM_KerningPairs(benchmark::State& state) {
  std::vector<uint16_t> chars;
  for (uint16_t u = 33; chars.size() < static_cast<std::size_t>(state.range(0)); ++u) chars.push_back(u);
  std::size_t pairs = 0;
  for (auto _ : state) {
    auto result = glyphmill::ComputeKerningPairs({kFont, 0, 32}, chars);
    pairs = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["pairs"] = static_cast<double>(pairs);
}
BENCHMARK(BM_KerningPairs)->Arg(100)->Arg(300)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_BuildExportBuffers(benchmark::State& state) {
  glyphmill::Image24 colour(1024, 1024), mask(1024, 1024);
  glyphmill::ExportBuffers buffers;
  for (auto _ : state) {
    glyphmill::BuildExportBuffers(colour, mask, buffers);
    benchmark::DoNotOptimize(buffers.alpha.data());
  }
}
BENCHMARK(BM_BuildExportBuffers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
