// Cost of the kerning pairs of whole selections, as one export run computes them once.
//
//   BM_KerningCjk        Noto Sans CJK SC at 16 px (12 points), U+4E00..U+9FEF (20,976 characters)
//   BM_KerningLatinBmp   DejaVu Sans at 32 px, every code unit from U+0021 to U+FFFF
//   BM_KerningLatin300   DejaVu Sans at 32 px, a 300-character Latin/Greek/Cyrillic selection
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "export/kerning_pairs.h"
#include "settings/font_face.h"

namespace {

glyphmill::KerningSource SourceFor(const char* family, int pointSize) {
  glyphmill::FontRequest request;
  request.name = family;
  request.pointSize = pointSize;
  glyphmill::ResolvedFont resolved;
  std::string error;
  glyphmill::ResolveFont(request, &resolved, &error);
  return {resolved.path, resolved.faceIndex, glyphmill::EmPixels(pointSize)};
}

std::vector<uint16_t> Range(uint32_t from, uint32_t to) {
  std::vector<uint16_t> units;
  for (uint32_t u = from; u <= to; ++u) units.push_back(static_cast<uint16_t>(u));
  return units;
}

void Run(benchmark::State& state, const glyphmill::KerningSource& source, const std::vector<uint16_t>& units) {
  std::size_t pairs = 0;
  for (auto _ : state) {
    auto result = glyphmill::ComputeKerningPairs(source, units);
    pairs = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["pairs"] = static_cast<double>(pairs);
  state.counters["characters"] = static_cast<double>(units.size());
}

void BM_KerningCjk(benchmark::State& state) { Run(state, SourceFor("Noto Sans CJK SC", 12), Range(0x4E00, 0x9FEF)); }
BENCHMARK(BM_KerningCjk)->Unit(benchmark::kMillisecond);

void BM_KerningLatinBmp(benchmark::State& state) { Run(state, SourceFor("DejaVu Sans", 24), Range(0x21, 0xFFFF)); }
BENCHMARK(BM_KerningLatinBmp)->Unit(benchmark::kMillisecond);

void BM_KerningLatin300(benchmark::State& state) {
  std::vector<uint16_t> units = Range(0x21, 0x7E);
  for (uint16_t u : Range(0xC0, 0x17F)) units.push_back(u);
  for (uint16_t u : Range(0x391, 0x3C9)) units.push_back(u);
  for (uint16_t u : Range(0x410, 0x44F)) units.push_back(u);
  units.resize(300);
  Run(state, SourceFor("DejaVu Sans", 24), units);
}
BENCHMARK(BM_KerningLatin300)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
