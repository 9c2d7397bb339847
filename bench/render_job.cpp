// The heaviest job the window offers: a 2048 x 2048 texture, 350 Latin characters of DejaVu Sans
// at 48 pt, outline width 20 and a drop shadow of smoothing 10 (20 growth and 20 blur passes).
// Times the whole job: its construction (images, face, trees) and its run.
#include <benchmark/benchmark.h>

#include <string>

#include "app/job_table.h"
#include "render/render_thread.h"
#include "settings/font_metrics.h"
#include "settings/generation_settings.h"

namespace {

using namespace glyphmill;

GenerationSettings HeavySettings() {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = 48;
  s.styleFlags = kStyleOutline | kStyleDropShadow;
  s.outlineWidth = 20;
  s.shadowSmoothing = 10;
  s.shadowOffset = 2;
  s.textureWidth = 2048;
  s.textureHeight = 2048;
  return s;
}

JobTable LatinTable(const GenerationSettings& s, int want) {
  CharacterSelection sel{};
  for (uint32_t u = 33, n = 0; u < 0x250 && n < static_cast<uint32_t>(want); ++u) {
    if (u >= 127 && u <= 160) continue;  // controls and the no-break space
    sel[u] = 1;
    ++n;
  }
  FontMeasurer measurer;
  FontTables tables;
  bool changed = true;
  std::string error;
  if (!measurer.Measure(FontRequest{s.fontNameString(), s.fontSize, s.bold(), s.italic()}, {}, s.kerning, sel, changed,
                        tables, &error))
    return {};
  return BuildJobTable(s, sel, tables.glyphMetrics, tables.glyphHeights, tables.selectedCount);
}

void BM_HeaviestJob(benchmark::State& state) {
  const GenerationSettings s = HeavySettings();
  const JobTable table = LatinTable(s, 350);
  int32_t placed = 0;
  for (auto _ : state) {
    RenderThread job(s, kJobPlace, nullptr);
    job.setTable(table.chars, table.abc);
    job.run();
    placed = job.placedCount();
    benchmark::DoNotOptimize(job.maskImage().data());
  }
  state.counters["chars"] = static_cast<double>(table.chars.size());
  state.counters["placed"] = placed == kAllPlaced ? static_cast<double>(table.chars.size()) : placed;
}
BENCHMARK(BM_HeaviestJob)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same job without effects, for comparison: fill, placement and two drawing passes.
void BM_PlainJob(benchmark::State& state) {
  GenerationSettings s = HeavySettings();
  s.styleFlags = 0;
  const JobTable table = LatinTable(s, 350);
  for (auto _ : state) {
    RenderThread job(s, kJobPlace, nullptr);
    job.setTable(table.chars, table.abc);
    job.run();
    benchmark::DoNotOptimize(job.maskImage().data());
  }
}
BENCHMARK(BM_PlainJob)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
