// Sorting and placing thousands of cells with the partition packer (first-fit depth-first search).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "render/placement.h"

namespace {

using namespace glyphmill;

std::vector<PlacedCharacter> RandomCells(int n, uint32_t lo, uint32_t hi, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<uint32_t> side(lo, hi);
  std::vector<PlacedCharacter> cells(n);
  for (PlacedCharacter& c : cells) {
    c.cellWidth = side(rng);
    c.cellHeight = side(rng);
  }
  return cells;
}

// range(0): texture side; range(1): origin (0 one tree, 4 four quadrant trees).
void BM_Place20000(benchmark::State& state) {
  const std::vector<PlacedCharacter> cells = RandomCells(20000, 8, 40, 5);
  int32_t placedCount = 0;
  for (auto _ : state) {
    std::vector<PlacedCharacter> chars = cells;
    auto trees = CreatePackerTrees(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(0)),
                                   static_cast<uint8_t>(state.range(1)));
    int32_t next = 0;
    ProgressReporter progress;
    placedCount = PlaceCharacters(chars, trees, next, progress).placedCount;
    benchmark::DoNotOptimize(chars.data());
  }
  state.counters["placed"] = placedCount == kAllPlaced ? 20000 : placedCount;
}
BENCHMARK(BM_Place20000)->Args({8192, 0})->Args({8192, 4})->Args({4096, 0})->Unit(benchmark::kMillisecond);

// Every UTF-16 code unit selected: 65,536 cells of 8 to 40 px in one 8192 x 8192 tree.
void BM_PlaceAllCodeUnits(benchmark::State& state) {
  const std::vector<PlacedCharacter> cells = RandomCells(65536, 8, 40, 11);
  int32_t placedCount = 0;
  for (auto _ : state) {
    std::vector<PlacedCharacter> chars = cells;
    auto trees = CreatePackerTrees(8192, 8192, 0);
    int32_t next = 0;
    ProgressReporter progress;
    placedCount = PlaceCharacters(chars, trees, next, progress).placedCount;
    benchmark::DoNotOptimize(chars.data());
  }
  state.counters["placed"] = placedCount == kAllPlaced ? 65536 : placedCount;
}
BENCHMARK(BM_PlaceAllCodeUnits)->Unit(benchmark::kMillisecond);

// Equal cells, as a monospaced font gives them.
void BM_Place20000Monospaced(benchmark::State& state) {
  std::vector<PlacedCharacter> cells(20000);
  for (PlacedCharacter& c : cells) {
    c.cellWidth = 20;
    c.cellHeight = 31;
  }
  for (auto _ : state) {
    std::vector<PlacedCharacter> chars = cells;
    auto trees = CreatePackerTrees(8192, 8192, 0);
    int32_t next = 0;
    ProgressReporter progress;
    benchmark::DoNotOptimize(PlaceCharacters(chars, trees, next, progress).placedCount);
  }
}
BENCHMARK(BM_Place20000Monospaced)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
