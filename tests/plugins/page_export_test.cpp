// The shipped exporters with the host's pages service: every page written (BMFont page lines and
// page ids, NAME_K.png and NAME_K.tga, a page per character in JSON Metrics), one page exactly as
// without the service, and a write that fails on page 3 leaving no page and no descriptor behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <random>

#include "tests/plugins/plugin_test_support.h"
#include "tests/plugins/test_font_info_host.h"

namespace glyphmill::plugintest {
namespace {

// A font of several pages as the host's pages service describes it: `pageCount` textures and a
// table of `perPage` characters on each, with the storage the record points into.
struct TestPages {
  std::vector<TestTexture> textures;
  std::vector<GlyphmillPage> pages;
  std::vector<TExportCharInfo> chars;
  std::vector<uint32_t> charPages;
  std::vector<uint8_t> placed;
  std::vector<GlyphmillCharGeometry> geometry;
  GlyphmillPagesV1 record{};

  TestPages(std::size_t pageCount, uint32_t perPage, uint16_t width = 64, uint16_t height = 32) {
    for (std::size_t k = 0; k < pageCount; ++k) {
      textures.push_back(MakeTexture(width, k + 1 == pageCount && pageCount > 1 ? height / 2 : height));
      for (uint8_t& b : textures.back().bgr) b = static_cast<uint8_t>(b + 17 * k);  // each page its own
      const std::vector<TExportCharInfo> table = MakeCharTable(perPage, width, 6, 8);
      for (TExportCharInfo c : table) {
        c.Code += static_cast<uint32_t>(k * perPage);
        chars.push_back(c);
        charPages.push_back(static_cast<uint32_t>(k));
        placed.push_back(1);
        geometry.push_back({1, 2});
      }
    }
    for (const TestTexture& t : textures) pages.push_back({t.width, t.height, t.bgr.data(), t.alpha.data()});
    record.struct_size = sizeof record;
    record.page_count = static_cast<uint32_t>(pages.size());
    record.pages = pages.data();
    record.char_count = static_cast<uint32_t>(chars.size());
    record.chars = chars.data();
    record.char_pages = charPages.data();
    record.placed = placed.data();
    record.geometry = geometry.data();
  }
  // Page 0's share of the table: what the fixed records carry.
  std::vector<TExportCharInfo> firstPageChars() const {
    std::vector<TExportCharInfo> out;
    for (std::size_t i = 0; i < chars.size(); ++i)
      if (charPages[i] == 0) out.push_back(chars[i]);
    return out;
  }
};

// Offers the pages for as long as it lives.
struct PagesOffered {
  explicit PagesOffered(const TestPages& p) { OfferPages(&p.record); }
  ~PagesOffered() { OfferPages(nullptr); }
};

TSimpleExportInfo SimpleRecord(const TestPages& p, const std::vector<TExportCharInfo>& first, const std::string& file) {
  TSimpleExportInfo r{};
  r.FileName = file.c_str();
  r.Width = p.textures[0].width;
  r.Height = p.textures[0].height;
  r.RGB = p.textures[0].bgr.data();
  r.Alpha = p.textures[0].alpha.data();
  r.CharCount = static_cast<uint32_t>(first.size());
  r.SpaceAdvance = 4;
  r.Chars = first.data();
  return r;
}

const char* const kBmFontPlugins[] = {"bmfont_text.so", "bmfont_xml.so", "bmfont_binary.so", "bmfont_json.so"};

BmFont ReadForm(const std::string& plugin, const std::string& path) {
  if (plugin == "bmfont_text.so") return ParseBmFontText(ReadText(path));
  if (plugin == "bmfont_xml.so") return ParseBmFontXml(ReadText(path));
  if (plugin == "bmfont_binary.so") return ParseBmFontBinary(ReadBytes(path));
  return ParseBmFontJson(ReadText(path));
}

TEST(PagedBmFont, EveryFormListsEveryPageFileAndEachCharactersPage) {
  const TestPages p(3, 5);
  const PagesOffered offered(p);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  for (const char* plugin : kBmFontPlugins) {
    SCOPED_TRACE(plugin);
    ScratchFolder dir;
    const std::string descriptor = dir.file("font.fnt");
    LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, descriptor));
    const BmFont font = ReadForm(plugin, descriptor);
    EXPECT_EQ(font.pages, 3);
    EXPECT_EQ(font.pageFiles, (std::vector<std::string>{"font_0.png", "font_1.png", "font_2.png"}));
    ASSERT_EQ(font.chars.size(), p.chars.size() + 1);  // and the space
    for (const BmChar& c : font.chars) {
      if (c.id == 32) continue;
      const std::size_t i = static_cast<std::size_t>(c.id) - p.chars[0].Code;
      EXPECT_EQ(c.page, p.charPages[i]) << c.id;
      EXPECT_EQ(c.x, p.chars[i].X);
      EXPECT_EQ(c.y, p.chars[i].Y);
    }
    for (std::size_t k = 0; k < 3; ++k) {
      const DecodedImage page = ReadPng(dir.file(font.pageFiles[k]));
      EXPECT_EQ(page.width, p.textures[k].width);
      EXPECT_EQ(page.height, p.textures[k].height);
      EXPECT_EQ(page.pixels, ExpectedRgba(p.textures[k])) << "page " << k;
    }
    EXPECT_EQ(dir.entries().size(), 4u);  // the pages and the descriptor, no temporary
  }
}

TEST(PagedBmFont, KerningPairsReachAcrossPages) {
  const TestPages p(2, 3);
  const PagesOffered offered(p);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  // A pair from page 0 to page 1, one within page 1, and one naming a character of no page.
  TestFontInfo info;
  info.record.struct_size = sizeof info.record;
  info.face = "Test";
  info.placed.assign(first.size(), 1);
  info.kernings = {
      {p.chars[0].Code, p.chars[4].Code, -2}, {p.chars[3].Code, p.chars[5].Code, 1}, {p.chars[0].Code, 999, -1}};
  OfferFontInfo(info.bind());
  for (const char* plugin : kBmFontPlugins) {
    SCOPED_TRACE(plugin);
    ScratchFolder dir;
    LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, dir.file("font.fnt")));
    const BmFont font = ReadForm(plugin, dir.file("font.fnt"));
    EXPECT_EQ(font.kernings,
              (std::vector<BmKerning>{{p.chars[0].Code, p.chars[4].Code, -2}, {p.chars[3].Code, p.chars[5].Code, 1}}));
    EXPECT_EQ(font.chars.size(), p.chars.size() + 1);  // the font information's placed list does not cut page 1
  }
  OfferFontInfo(nullptr);
}

TEST(PagedBmFont, OnePageIsWrittenExactlyAsWithoutThePagesService) {
  const TestPages p(1, 6);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  for (const char* plugin : kBmFontPlugins) {
    SCOPED_TRACE(plugin);
    ScratchFolder without, with;
    LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, without.file("font.fnt")));
    {
      const PagesOffered offered(p);
      LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, with.file("font.fnt")));
    }
    EXPECT_EQ(with.entries(), without.entries());
    for (const std::string& name : without.entries())
      EXPECT_EQ(ReadBytes(with.file(name)), ReadBytes(without.file(name))) << name;
  }
}

TEST(PagedBmFont, TenPagesOrMoreNumberEveryPageWithTwoDigitsSoTheBinaryFormReadsThem) {
  const TestPages p(11, 2);
  const PagesOffered offered(p);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  for (const char* plugin : kBmFontPlugins) {
    SCOPED_TRACE(plugin);
    ScratchFolder dir;
    LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, dir.file("font.fnt")));
    const BmFont font = ReadForm(plugin, dir.file("font.fnt"));
    ASSERT_EQ(font.pageFiles.size(), 11u);
    EXPECT_EQ(font.pageFiles[0], "font_00.png");
    EXPECT_EQ(font.pageFiles[10], "font_10.png");
  }
}

TEST(PagedImages, PngAndTgaWriteOnePageFileEachAndOnePageUnderTheChosenName) {
  const TestPages p(3, 1);
  for (const char* plugin : {"png_image.so", "tga_image.so"}) {
    SCOPED_TRACE(plugin);
    const std::string extension = std::string(plugin) == "png_image.so" ? ".png" : ".tga";
    ScratchFolder dir;
    const std::string path = dir.file("page" + extension);
    TGraphicExportInfo r{};
    r.FileName = path.c_str();
    r.Width = p.textures[0].width;
    r.Height = p.textures[0].height;
    r.RGB = p.textures[0].bgr.data();
    r.Alpha = p.textures[0].alpha.data();
    {
      const PagesOffered offered(p);
      LoadedPlugin(plugin).graphicExport(r);
    }
    ASSERT_EQ(dir.entries(),
              (std::vector<std::string>{"page_0" + extension, "page_1" + extension, "page_2" + extension}));
    for (std::size_t k = 0; k < 3; ++k) {
      const std::string file = dir.file("page_" + std::to_string(k) + extension);
      if (extension == ".png") {
        EXPECT_EQ(ReadPng(file).pixels, ExpectedRgba(p.textures[k]));
      } else {
        EXPECT_EQ(ReadTga(file).height, p.textures[k].height);
      }
    }
    // One page: the chosen name itself, as always.
    const TestPages one(1, 1);
    ScratchFolder single;
    const std::string onePath = single.file("page" + extension);
    r.FileName = onePath.c_str();
    {
      const PagesOffered offered(one);
      LoadedPlugin(plugin).graphicExport(r);
    }
    EXPECT_EQ(single.entries(), std::vector<std::string>{"page" + extension});
  }
}

TEST(PagedMetrics, EveryCharacterNamesItsPageAndEveryPageItsSize) {
  const TestPages p(2, 3);
  const PagesOffered offered(p);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  ScratchFolder dir;
  const std::string path = dir.file("m.json");
  TDataExportInfo r{};
  r.FileName = path.c_str();
  r.CharCount = static_cast<uint32_t>(first.size());
  r.Chars = first.data();
  r.Width = p.textures[0].width;
  r.Height = p.textures[0].height;
  LoadedPlugin("json_metrics.so").dataExport(r);
  const nlohmann::json doc = nlohmann::json::parse(ReadText(path));
  ASSERT_EQ(doc.at("pages").size(), 2u);
  EXPECT_EQ(doc.at("pages")[1].at("height"), p.textures[1].height);
  ASSERT_EQ(doc.at("characters").size(), p.chars.size());
  for (std::size_t i = 0; i < p.chars.size(); ++i) {
    EXPECT_EQ(doc.at("characters")[i].at("code"), p.chars[i].Code);
    EXPECT_EQ(doc.at("characters")[i].at("page"), p.charPages[i]);
  }
}

// A page the file-size limit cannot take, as a full disk cannot: noise that PNG cannot shrink.
void FillWithNoise(TestTexture& t) {
  std::mt19937 rng(3);
  for (uint8_t& b : t.bgr) b = static_cast<uint8_t>(rng());
  for (uint8_t& a : t.alpha) a = static_cast<uint8_t>(rng());
}

TEST(PagedFailure, AWriteThatFailsOnPageThreeLeavesNoPageAndNoDescriptorBehind) {
  TestPages p(5, 2, 256, 256);
  for (std::size_t k : {0u, 1u, 2u, 4u}) {
    std::fill(p.textures[k].bgr.begin(), p.textures[k].bgr.end(), 40);
    std::fill(p.textures[k].alpha.begin(), p.textures[k].alpha.end(), 255);
  }
  FillWithNoise(p.textures[3]);
  const std::vector<TExportCharInfo> first = p.firstPageChars();
  for (const char* plugin : kBmFontPlugins) {
    SCOPED_TRACE(plugin);
    ScratchFolder dir;
    // What the person had under these names before.
    const std::vector<std::string> earlier = {"font.fnt", "font_0.png", "font_3.png"};
    for (const std::string& name : earlier) {
      std::FILE* f = std::fopen(dir.file(name).c_str(), "wb");
      std::fputs(("earlier " + name).c_str(), f);
      std::fclose(f);
    }
    const std::string descriptor = dir.file("font.fnt");
    // In a child process: writes beyond 64 KiB fail there (EFBIG), as they fail on a full disk
    // (ENOSPC), without the signal that would end the process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{64 * 1024, 64 * 1024};
      setrlimit(RLIMIT_FSIZE, &limit);
      OfferPages(&p.record);
      int status = 3;
      try {
        LoadedPlugin(plugin).simpleExport(SimpleRecord(p, first, descriptor));
        status = 1;  // it claimed success
      } catch (const std::exception& e) {
        status = std::string(e.what()).find("font_3.png") != std::string::npos ? 0 : 2;
      }
      _exit(status);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported success, 2: the failure does not name page 3";
    // Nothing new, no temporary, and the earlier files as they were.
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"font.fnt", "font_0.png", "font_3.png"}));
    for (const std::string& name : earlier) EXPECT_EQ(ReadText(dir.file(name)), "earlier " + name);
  }
}

}  // namespace
}  // namespace glyphmill::plugintest
