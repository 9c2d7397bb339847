// Cost of writing a large glyph page: a 4096 x 4096 texture holding the 20,976 CJK ideographs
// U+4E00..U+9FEF of Noto Sans CJK SC at 16 px in a grid of 22 x 22 cells (white glyphs on the
// silver background, coverage as alpha), written as an RGBA PNG by the shipped "PNG Image"
// exporter, opened with dlopen from the build's plugins folder as the host opens it.
//
//   BM_PngCjkPage   one GraphicExport call: filtering, compression and the file
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "glyphmill/plugin.h"
#include "settings/font_face.h"

namespace {

constexpr uint16_t kSide = 4096;
constexpr int kCell = 22;

struct Page {
  std::vector<uint8_t> bgr = std::vector<uint8_t>(std::size_t{kSide} * kSide * 3, 0xC0);
  std::vector<uint8_t> alpha = std::vector<uint8_t>(std::size_t{kSide} * kSide, 0);
};

Page RenderPage() {
  Page page;
  glyphmill::FontRequest request;
  request.name = "Noto Sans CJK SC";
  request.pointSize = 12;
  std::string error;
  auto face = glyphmill::FontFace::Open(request, &error);
  if (!face) throw std::runtime_error(error);
  int cell = 0;
  for (uint32_t u = 0x4E00; u <= 0x9FEF; ++u, ++cell) {
    glyphmill::GlyphImage glyph;
    if (!face->renderGlyph(static_cast<uint16_t>(u), 0, &glyph)) continue;
    const int x0 = (cell % (kSide / kCell)) * kCell + 2 + glyph.left;
    const int y0 = (cell / (kSide / kCell)) * kCell + 2 + face->ascent() - glyph.top;
    for (int y = 0; y < glyph.rows; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        const int px = x0 + x, py = y0 + y;
        if (px < 0 || py < 0 || px >= kSide || py >= kSide) continue;
        const uint8_t c = glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x];
        const std::size_t at = static_cast<std::size_t>(py) * kSide + px;
        page.alpha[at] = c;
        for (int k = 0; k < 3; ++k) page.bgr[at * 3 + k] = static_cast<uint8_t>(0xC0 + (0xFF - 0xC0) * c / 255);
      }
    }
  }
  return page;
}

void BM_PngCjkPage(benchmark::State& state) {
  const std::string folder =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "plugins").string();
  void* library = dlopen((folder + "/png_image.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    state.SkipWithError(dlerror());
    return;
  }
  auto graphicExport =
      reinterpret_cast<void(GLYPHMILL_CALL*)(const TGraphicExportInfo*)>(dlsym(library, "GraphicExport"));
  Page page = RenderPage();
  const std::string path = (std::filesystem::temp_directory_path() / "glyphmill_bench_cjk_page.png").string();
  TGraphicExportInfo info{};
  info.FileName = path.c_str();
  info.Width = kSide;
  info.Height = kSide;
  info.RGB = page.bgr.data();
  info.Alpha = page.alpha.data();
  for (auto _ : state) graphicExport(&info);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_PngCjkPage)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
