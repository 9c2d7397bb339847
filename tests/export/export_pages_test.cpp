// Texture pages through the plug-in host: a plug-in that never asks for the pages service gets page
// 0 and the characters on it, as from a texture that holds no more; one that asks gets every page,
// the whole table and each character's page, with the buffers its call passes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "export/export_run.h"
#include "export_test_support.h"

namespace glyphmill {
namespace {

using testing_support::Checksum;
using testing_support::ExportWorld;
using testing_support::Plugin;
using testing_support::PluginFolder;
using testing_support::ReadReport;
using testing_support::Report;

// The world's three characters over two pages: 'B' on a second page, lower than the first.
struct TwoPages : ExportWorld {
  TwoPages() {
    TexturePage second;
    second.colour.resize(64, 16);
    Image24 mask(64, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 64; ++x) {
        second.colour.setPixel(x, y, Bgr{static_cast<uint8_t>(200 - x), static_cast<uint8_t>(y * 9), 77});
        const uint8_t a = static_cast<uint8_t>(x * 4 + y);
        mask.setPixel(x, y, Bgr{a, a, a});
      }
    KeepMask(mask, second);
    result.morePages.push_back(std::move(second));
    result.chars[1].page = 1;
    result.chars[1].cellX = 3;
    result.chars[1].cellY = 2;
  }

  // The second page's two buffers as a plug-in must receive them.
  std::vector<uint8_t> secondRgb() const {
    std::vector<uint8_t> out;
    const Image24& c = result.morePages[0].colour;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) {
        const Bgr p = c.pixel(x, y);
        out.insert(out.end(), {p.b, p.g, p.r});
      }
    return out;
  }
  std::vector<uint8_t> secondAlpha() const {
    std::vector<uint8_t> out;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 64; ++x) out.push_back(static_cast<uint8_t>(x * 4 + y));
    return out;
  }
};

Report ExportWith(TwoPages& w, const std::string& pluginName) {
  w.discover();
  w.dialogs.queueSavePath("out.fnt");
  ExportContext ctx = w.context();
  const ExportReport report = RunExport(ctx, w.indexOf(pluginName));
  EXPECT_FALSE(report.anyFailed());
  return ReadReport("out.fnt");
}

TEST(ExportPages, APluginThatNeverAsksSeesExactlyPageZeroAndItsCharacters) {
  PluginFolder folder({Plugin("simple_ok")});
  TwoPages w;
  const Report r = ExportWith(w, "Test Simple");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("width"), "64");
  EXPECT_EQ(r.get("height"), "32");
  EXPECT_EQ(r.get("rgb"), std::to_string(Checksum(w.buffers.rgb)));
  EXPECT_EQ(r.get("alpha"), std::to_string(Checksum(w.buffers.alpha)));
  EXPECT_EQ(w.buffers.alpha[5], w.result.mask.pixel(5, 0).b);  // page 0's mask, not the second page's
  // 'B' lies on the second page: the fixed table and the font information hold 'A' and 'C' only.
  EXPECT_EQ(r.get("char_count"), "2");
  EXPECT_EQ(r.all("char"), (std::vector<std::string>{"65 10 20 0 1 -1 9", "67 12 20 24 1 1 11"}));
  EXPECT_EQ(r.get("host.char_count"), "2");
  EXPECT_EQ(r.get("host.placed"), "11");
}

TEST(ExportPages, APluginThatAsksGetsEveryPageTheWholeTableAndEachCharactersPage) {
  PluginFolder folder({Plugin("simple_pages")});
  TwoPages w;
  const Report r = ExportWith(w, "Pages Simple");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("pages.struct_size"), std::to_string(sizeof(GlyphmillPagesV1)));
  EXPECT_EQ(r.get("pages.count"), "2");
  EXPECT_EQ(
      r.all("pages.page"),
      (std::vector<std::string>{
          "0 64 32 " + std::to_string(Checksum(w.buffers.rgb)) + " " + std::to_string(Checksum(w.buffers.alpha)),
          "1 64 16 " + std::to_string(Checksum(w.secondRgb())) + " " + std::to_string(Checksum(w.secondAlpha()))}));
  EXPECT_EQ(r.get("pages.char_count"), "3");
  EXPECT_EQ(r.all("pages.char"), (std::vector<std::string>{"65 0 0 1 1 1 1", "66 1 3 2 1 1 1", "67 0 24 1 1 1 1"}));
  // Its fixed records are the same page 0 a plug-in that never asks receives.
  EXPECT_EQ(r.get("char_count"), "2");
}

// An export that is its result's last use hands every page over exactly as one that keeps the
// result, and gives each page's memory back on the way: no page is left to be held twice.
TEST(ExportPages, AResultsLastExportHandsOverTheSamePagesAndReleasesThem) {
  PluginFolder folder({Plugin("simple_pages")});
  TwoPages kept;
  const Report expected = ExportWith(kept, "Pages Simple");
  ASSERT_TRUE(expected.exists);
  EXPECT_EQ(kept.result.morePages[0].colour.width(), 64);
  EXPECT_EQ(kept.result.mask.width(), 64);

  TwoPages spent;
  spent.discover();
  spent.dialogs.queueSavePath("out.fnt");
  ExportContext ctx = spent.context();
  ctx.spentResult = &spent.result;
  EXPECT_FALSE(RunExport(ctx, spent.indexOf("Pages Simple")).anyFailed());
  const Report r = ReadReport("out.fnt");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.all("pages.page"), expected.all("pages.page"));
  EXPECT_EQ(r.get("rgb"), expected.get("rgb"));
  EXPECT_EQ(r.get("alpha"), expected.get("alpha"));
  EXPECT_EQ(r.all("pages.char"), expected.all("pages.char"));
  // Both pages are gone from the result; the table stays for the run's character records.
  EXPECT_EQ(spent.result.morePages[0].colour.width(), 0);
  EXPECT_TRUE(spent.result.morePages[0].mask.empty());
  EXPECT_EQ(spent.result.colour.width(), 0);
  EXPECT_EQ(spent.result.mask.width(), 0);
  EXPECT_EQ(spent.result.chars.size(), 3u);
  // Page 0 went into the shared memory straight from its images: no export buffers were made.
  EXPECT_TRUE(spent.buffers.rgb.empty());
  EXPECT_TRUE(spent.buffers.alpha.empty());
}

// The size and the allocated bytes of the export's shared memory, found among this process's
// open descriptors by its name; nullopt when there is none.
std::optional<std::pair<off_t, off_t>> SharedMemoryUse() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
    if (error || target.string().rfind("/memfd:glyphmill-export", 0) != 0) continue;
    struct stat st {};
    if (::stat(entry.path().c_str(), &st) != 0) continue;
    return std::make_pair(st.st_size, static_cast<off_t>(st.st_blocks) * 512);
  }
  return std::nullopt;
}

TEST(ExportPages, TheSharedMemoryIsGivenBackWhenTheRunEnds) {
  PluginFolder folder({Plugin("simple_pages")});
  TwoPages w;
  const Report r = ExportWith(w, "Pages Simple");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("pages.count"), "2");  // the plug-in read both pages while the run lasted
  const auto use = SharedMemoryUse();
  ASSERT_TRUE(use.has_value());
  EXPECT_GT(use->first, 64 * 48);  // the region keeps its size for the next run
  EXPECT_EQ(use->second, 0);
}

TEST(ExportPages, EveryPageOffersOnlyTheBuffersTheCallPasses) {
  PluginFolder folder({Plugin("graphic_pages_rgb")});
  TwoPages w;
  w.discover();
  w.dialogs.queueSavePath("out.bmp");
  ExportContext ctx = w.context();
  w.jobs.push_back(TExportJob{});
  w.jobs.back().PluginIndex = w.indexOf("Pages Colour");
  w.jobs.back().UseRGB = true;
  w.jobs.back().UseAlpha = true;  // a colour-only type passes no alpha whatever the job says
  EXPECT_FALSE(RunExport(ctx, -1).anyFailed());
  const Report r = ReadReport("out.bmp");
  ASSERT_TRUE(r.exists);
  EXPECT_EQ(r.get("alpha"), "null");
  EXPECT_EQ(r.all("pages.page"),
            (std::vector<std::string>{"0 64 32 " + std::to_string(Checksum(w.buffers.rgb)) + " null",
                                      "1 64 16 " + std::to_string(Checksum(w.secondRgb())) + " null"}));
}

TEST(ExportPages, OnePageIsTheWholeTableOnPageZero) {
  PluginFolder folder({Plugin("simple_pages")});
  ExportWorld w;
  w.discover();
  w.dialogs.queueSavePath("out.fnt");
  ExportContext ctx = w.context();
  EXPECT_FALSE(RunExport(ctx, 0).anyFailed());
  const Report r = ReadReport("out.fnt");
  EXPECT_EQ(r.get("pages.count"), "1");
  EXPECT_EQ(r.get("char_count"), "3");
  EXPECT_EQ(r.all("pages.char"), (std::vector<std::string>{"65 0 0 1 1 1 1", "66 0 12 1 1 1 1", "67 0 24 1 1 1 1"}));
}

}  // namespace
}  // namespace glyphmill
