// What running an export in the plug-in host costs over calling the plug-in in the program: one
// GraphicExport of a 1024 x 1024 texture (both buffers) by a plug-in that reads every byte.
//
//   BM_DirectCall        dlopen in this process, call the entry point (what the host saves)
//   BM_HostRun           one export run through the host: the buffers copied into shared memory,
//                        then the call and its reply
//   BM_HostCall          a further call of the same run (the buffers are staged already)
//
// Run from anywhere; the plug-in and the host are the ones of the build this program belongs to.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/plugin_host_process.h"

namespace {

constexpr uint16_t kSide = 1024;

struct Texture {
  std::vector<uint8_t> rgb = std::vector<uint8_t>(std::size_t{kSide} * kSide * 3);
  std::vector<uint8_t> alpha = std::vector<uint8_t>(std::size_t{kSide} * kSide);
  Texture() {
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    for (std::size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<uint8_t>(i * 13);
  }
};

// The plug-in writes its report into the current folder: a scratch one.
struct Scratch {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("glyphmill-bench-" + std::to_string(::getpid()));
  Scratch() {
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  ~Scratch() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
  }
};

glyphmill::HostExportCall GraphicCall() {
  glyphmill::HostExportCall call;
  call.entry = glyphmill::host_protocol::Entry::Graphic;
  call.fileName = "";
  call.width = call.height = kSide;
  call.passRgb = call.passAlpha = true;
  return call;
}

void BM_DirectCall(benchmark::State& state) {
  const Texture t;
  const Scratch scratch;
  void* library = dlopen(GLYPHMILL_BENCH_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return state.SkipWithError(dlerror());
  auto entry = reinterpret_cast<GraphicExportProc>(dlsym(library, "GraphicExport"));
  TGraphicExportInfo info{};
  info.FileName = "";
  info.Width = info.Height = kSide;
  info.RGB = t.rgb.data();
  info.Alpha = t.alpha.data();
  for (auto _ : state) entry(&info);
}
BENCHMARK(BM_DirectCall)->Unit(benchmark::kMillisecond);

void HostBenchmark(benchmark::State& state, bool stageEachTime) {
  const Texture t;
  const Scratch scratch;
  glyphmill::PluginHostProcess host;
  const glyphmill::HostLoad loaded = host.load(GLYPHMILL_BENCH_PLUGIN, std::chrono::seconds(20));
  if (loaded.outcome != glyphmill::HostLoad::Outcome::Loaded) return state.SkipWithError(loaded.failure.c_str());
  glyphmill::Result<glyphmill::StagedExport> staged = host.stage(t.rgb, t.alpha, {});
  if (!staged) return state.SkipWithError(staged.error().c_str());
  for (auto _ : state) {
    if (stageEachTime) staged = host.stage(t.rgb, t.alpha, {});
    if (!staged) return state.SkipWithError(staged.error().c_str());
    const glyphmill::HostCall r = host.callExport(loaded.slot, GraphicCall(), *staged, std::chrono::seconds(20));
    if (!r.ok) return state.SkipWithError(r.failure.c_str());
  }
}

void BM_HostRun(benchmark::State& state) { HostBenchmark(state, true); }
BENCHMARK(BM_HostRun)->Unit(benchmark::kMillisecond);

void BM_HostCall(benchmark::State& state) { HostBenchmark(state, false); }
BENCHMARK(BM_HostCall)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
