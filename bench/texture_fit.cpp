// The fitted texture size on real fonts: the time the size search takes (placement only, no
// drawing) and the size it chooses, with compact cells and with line cells.
//
//   DejaVu Sans 24 pt (32 px), not bold: 32..126 and 32..383
//   Noto Sans CJK SC 12 pt (16 px): U+4E00..U+9FEF (20,976 characters)
//
// Each benchmark's label names the chosen size, the smallest square that holds every character
// and whether every character was placed there.
#include <benchmark/benchmark.h>

#include <string>

#include "app/job_table.h"
#include "render/placement.h"
#include "render/texture_fit.h"
#include "settings/font_metrics.h"

namespace {

using namespace glyphmill;

std::vector<PlacedCharacter> Table(const char* font, int points, uint32_t first, uint32_t last, uint8_t cellMode) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName(font);
  s.fontSize = static_cast<uint8_t>(points);
  s.styleFlags = 0;
  CharacterSelection selection{};
  for (uint32_t u = first; u <= last; ++u) selection[u] = 1;
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  if (!measurer.Measure({font, points, false, false}, {}, 0, selection, fontChanged, tables, &error)) return {};
  GenerationExtras extras;
  extras.cellMode = cellMode;
  return BuildJobTable(s, selection, tables, tables.selectedCount, extras).chars;
}

std::string Name(TextureSize size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

void BM_Fit(benchmark::State& state, const char* font, int points, uint32_t first, uint32_t last, uint8_t cellMode) {
  const std::vector<PlacedCharacter> cells = Table(font, points, first, last, cellMode);
  if (cells.empty()) {
    state.SkipWithError("font not installed or nothing selected");
    return;
  }
  TextureSize fitted;
  for (auto _ : state) {
    fitted = FitTextureSize(cells, kOriginTopLeft, {4096, 4096});
    benchmark::DoNotOptimize(fitted);
  }
  const std::vector<int32_t> order = SortOrder(cells);
  TextureSize square{4096, 4096};
  for (int32_t side = 16; side <= 4096; side *= 2) {
    if (HoldsEveryCell(cells, order, {side, side}, kOriginTopLeft)) {
      square = {side, side};
      break;
    }
  }
  const bool all = HoldsEveryCell(cells, order, fitted, kOriginTopLeft);
  state.counters["characters"] = static_cast<double>(cells.size());
  state.SetLabel("fitted " + Name(fitted) + (all ? " (every character placed)" : " (some do not fit)") +
                 ", smallest square " + Name(square));
}

BENCHMARK_CAPTURE(BM_Fit, DejaVu24_Ascii_Compact, "DejaVu Sans", 24, 32, 126, kCellsCompact)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, DejaVu24_Ascii_Line, "DejaVu Sans", 24, 32, 126, kCellsLine)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, DejaVu24_Latin_Compact, "DejaVu Sans", 24, 32, 383, kCellsCompact)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, DejaVu24_Latin_Line, "DejaVu Sans", 24, 32, 383, kCellsLine)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, NotoCJK12_Compact, "Noto Sans CJK SC", 12, 0x4E00, 0x9FEF, kCellsCompact)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, NotoCJK12_Line, "Noto Sans CJK SC", 12, 0x4E00, 0x9FEF, kCellsLine)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
