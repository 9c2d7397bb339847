// Costs behind the character range editor's responsiveness: the block lookup every drawn cell
// makes for its tint, and the recount of the selection that every pointer move of a drag runs.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "settings/character_selection.h"
#include "settings/font_metrics.h"
#include "settings/unicode_blocks.h"

namespace {

using namespace glyphmill;

// One lookup per code unit of the whole range, as scrolling the entire-range view from top to
// bottom would make.
void BM_BlockOfEveryCodeUnit(benchmark::State& state) {
  for (auto _ : state) {
    int sum = 0;
    for (uint32_t c = 0; c < 65536; ++c) sum += BlockOf(static_cast<uint16_t>(c));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_BlockOfEveryCodeUnit);

// RecountSelection over a selection of every other code unit with half of them unsupported.
void BM_RecountSelectionPerDragMove(benchmark::State& state) {
  CharacterSelection selection{};
  FontTables tables;
  for (uint32_t c = 0; c < 65536; ++c) tables.fontSupport[c] = (c % 4) < 2;
  for (auto _ : state) {
    state.PauseTiming();
    for (uint32_t c = 0; c < 65536; ++c) selection[c] = c % 2;
    state.ResumeTiming();
    RecountSelection(selection, tables);
    benchmark::DoNotOptimize(tables.selectedCount);
  }
}
BENCHMARK(BM_RecountSelectionPerDragMove);

}  // namespace

BENCHMARK_MAIN();
