// The field pass of a distance-field font on its own: the CJK selection (U+4E00..U+9FEF) of
// Noto Sans CJK at 16 pixels with spread 4, and the ASCII set of DejaVu Sans at 32 pixels with
// spread 8, each on 1 thread and on every core. The cells are laid out in rows (no packing), so
// only the rendering and the writes into the mask are timed.
#include <benchmark/benchmark.h>

#include <string>

#include "glyph_grid.h"
#include "render/distance_field_drawing.h"
#include "render/row_workers.h"
#include "settings/generation_settings.h"

namespace {

using namespace glyphmill;

using bench::Grid;

void RunPass(benchmark::State& state, const char* family, int points, uint16_t spread, uint32_t first, uint32_t last,
             int32_t cell) {
  std::string error;
  auto face = FontFace::Open(FontRequest{family, points, false, false}, &error);
  if (!face) {
    state.SkipWithError(error.c_str());
    return;
  }
  const bench::GlyphGrid sel = Grid(first, last, cell);
  const GlyphSource source{face.get(), kAntialiasDistanceField, &sel.chars, &sel.placed};
  Image24 mask;
  mask.resize(sel.side, static_cast<int32_t>((sel.chars.size() / 256 + 1) * cell));
  const int32_t workers = static_cast<int32_t>(state.range(0)) == 0 ? RenderWorkerCount() : 1;
  StopFlag stop{false};
  for (auto _ : state) {
    std::vector<FieldBox> boxes;
    ProgressReporter progress(nullptr);
    DrawFieldMask(source, spread, workers, mask, boxes, progress, stop);
    benchmark::DoNotOptimize(boxes.data());
  }
  state.counters["threads"] = workers;
  state.counters["glyphs"] = static_cast<double>(sel.chars.size());
}

// range(0): 1 = one thread, 0 = every core.
void BM_CjkFields16px(benchmark::State& state) { RunPass(state, "Noto Sans CJK SC", 12, 4, 0x4E00, 0x9FEF, 32); }
void BM_AsciiFields32px(benchmark::State& state) { RunPass(state, "DejaVu Sans", 24, 8, 33, 126, 64); }

BENCHMARK(BM_CjkFields16px)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AsciiFields32px)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
