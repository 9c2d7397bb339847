// Font measurement cost: a cold measurement (new measurer: fontconfig match, face open, every
// selected glyph loaded) and a warm one (same face, size and style as the last measurement).
#include <benchmark/benchmark.h>

#include "settings/font_metrics.h"

namespace glyphmill {
namespace {

void MeasureCold(benchmark::State& st, const char* family, int pointSize, int firstUnit, int count) {
  for (auto _ : st) {
    FontMeasurer measurer;
    FontTables tables;
    CharacterSelection selection{};
    if (count == 100) {
      SetDefaultSelection(selection);
    } else {
      for (int i = 0; i < count; ++i) selection[static_cast<size_t>(firstUnit + i)] = 1;
    }
    bool changed = true;
    std::string error;
    if (!measurer.Measure({family, pointSize, false, false}, {}, 0, selection, changed, tables, &error)) {
      st.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(tables.spaceAdvance);
    st.counters["selected"] = tables.selectedCount;
  }
}

void BM_MeasureDejaVu32Cold(benchmark::State& st) { MeasureCold(st, "DejaVu Sans", 32, 33, 100); }
BENCHMARK(BM_MeasureDejaVu32Cold)->Unit(benchmark::kMillisecond);

void BM_MeasureDejaVu32Warm(benchmark::State& st) {
  FontMeasurer measurer;
  FontTables tables;
  CharacterSelection selection{};
  SetDefaultSelection(selection);
  bool changed = true;
  std::string error;
  measurer.Measure({"DejaVu Sans", 32, false, false}, {}, 0, selection, changed, tables, &error);
  for (auto _ : st) {
    if (!measurer.Measure({"DejaVu Sans", 32, false, false}, {}, 0, selection, changed, tables, &error)) {
      st.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(tables.spaceAdvance);
  }
}
BENCHMARK(BM_MeasureDejaVu32Warm)->Unit(benchmark::kMicrosecond);

// 20,000 code units from U+4E00 (CJK Unified Ideographs) in a full-plane CJK font.
void BM_MeasureCjk20000Cold(benchmark::State& st) { MeasureCold(st, "Noto Sans CJK SC", 32, 0x4E00, 20000); }
BENCHMARK(BM_MeasureCjk20000Cold)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace glyphmill

BENCHMARK_MAIN();
