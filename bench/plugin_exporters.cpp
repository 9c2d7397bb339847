// Benchmarks of the shipped exporters: one full export call (encode and write to a file) of a
// generated texture, per plug-in, at the texture sizes the program offers. The plug-ins are opened
// with dlopen from the build's plugins folder beside bench/, as the host opens them.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "glyphmill/plugin.h"

namespace {

std::string PluginFolder() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "plugins").string();
}

void* Entry(const char* library, const char* entry) {
  void* handle = dlopen((PluginFolder() + "/" + library).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw std::runtime_error(dlerror());
  return dlsym(handle, entry);  // the library stays loaded, as the host keeps it
}

struct Texture {
  uint16_t side;
  std::vector<uint8_t> bgr, alpha;
  std::vector<TExportCharInfo> chars;
};

// A texture of glyph-like content: mostly background with compact blobs, as generated fonts are.
Texture MakeTexture(uint16_t side) {
  Texture t{side,
            std::vector<uint8_t>(std::size_t{side} * side * 3, 0xC0),
            std::vector<uint8_t>(std::size_t{side} * side, 0),
            {}};
  const uint32_t cell = 24;
  for (uint32_t cy = 0; cy + cell <= side; cy += cell) {
    for (uint32_t cx = 0; cx + cell <= side; cx += cell) {
      for (uint32_t y = 4; y < cell - 4; ++y) {
        for (uint32_t x = 5; x < cell - 5; ++x) {
          const std::size_t i = std::size_t{cy + y} * side + cx + x;
          const uint8_t a = static_cast<uint8_t>(((x * 37) ^ (y * 91) ^ cx ^ cy) & 0xFF);
          t.alpha[i] = a;
          t.bgr[3 * i] = t.bgr[3 * i + 1] = t.bgr[3 * i + 2] = static_cast<uint8_t>(255 - a);
        }
      }
      if (t.chars.size() < 1000) {
        TExportCharInfo c{cell,
                          cell,
                          static_cast<int32_t>(cx),
                          static_cast<int32_t>(cy),
                          -1,
                          20,
                          static_cast<uint32_t>(33 + t.chars.size())};
        t.chars.push_back(c);
      }
    }
  }
  return t;
}

std::string OutputPath(const char* name) {
  return (std::filesystem::temp_directory_path() / ("glyphmill-bench-" + std::to_string(getpid()) + "-" + name))
      .string();
}

void BM_SimpleExport(benchmark::State& state, const char* library) {
  auto entry = reinterpret_cast<SimpleExportProc>(Entry(library, "SimpleExport"));
  const Texture t = MakeTexture(static_cast<uint16_t>(state.range(0)));
  const std::string path = OutputPath("font.fnt");
  TSimpleExportInfo r{};
  r.FileName = path.c_str();
  r.Width = r.Height = t.side;
  r.RGB = t.bgr.data();
  r.Alpha = t.alpha.data();
  r.CharCount = static_cast<uint32_t>(t.chars.size());
  r.SpaceAdvance = 6;
  r.Chars = t.chars.data();
  for (auto _ : state) entry(&r);
  state.counters["chars"] = static_cast<double>(t.chars.size());
  std::remove(path.c_str());
  std::remove(OutputPath("font_0.png").c_str());
}

void BM_GraphicExport(benchmark::State& state, const char* library, bool colour, bool alpha) {
  auto entry = reinterpret_cast<GraphicExportProc>(Entry(library, "GraphicExport"));
  const Texture t = MakeTexture(static_cast<uint16_t>(state.range(0)));
  const std::string path = OutputPath("image");
  TGraphicExportInfo r{};
  r.FileName = path.c_str();
  r.Width = r.Height = t.side;
  r.RGB = colour ? t.bgr.data() : nullptr;
  r.Alpha = alpha ? t.alpha.data() : nullptr;
  for (auto _ : state) entry(&r);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * t.side * t.side *
                          ((colour ? 3 : 0) + (alpha ? 1 : 0)));
  std::remove(path.c_str());
}

void BM_DataExport(benchmark::State& state) {
  auto entry = reinterpret_cast<DataExportProc>(Entry("json_metrics.so", "DataExport"));
  const Texture t = MakeTexture(static_cast<uint16_t>(state.range(0)));
  const std::string path = OutputPath("metrics.json");
  TDataExportInfo r{};
  r.FileName = path.c_str();
  r.CharCount = static_cast<uint32_t>(t.chars.size());
  r.Width = r.Height = t.side;
  r.Chars = t.chars.data();
  for (auto _ : state) entry(&r);
  state.counters["chars"] = static_cast<double>(t.chars.size());
  std::remove(path.c_str());
}

}  // namespace

BENCHMARK_CAPTURE(BM_SimpleExport, bmfont_text, "bmfont_text.so")->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SimpleExport, bmfont_xml, "bmfont_xml.so")->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SimpleExport, bmfont_binary, "bmfont_binary.so")->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GraphicExport, png_rgba, "png_image.so", true, true)
    ->Arg(1024)
    ->Arg(2048)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GraphicExport, png_rgb, "png_image.so", true, false)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GraphicExport, png_alpha, "png_image.so", false, true)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GraphicExport, tga_rgba, "tga_image.so", true, true)
    ->Arg(1024)
    ->Arg(2048)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataExport)->Arg(1024)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
