// The shared pieces every exporter is built from: short strings, page names, the host record
// check and the output file that appears only when complete.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <tuple>
#include <utility>

#include <zlib.h>

#include "plugins/common/bmfont_model.h"
#include "plugins/common/host_font_info.h"
#include "plugins/common/page_file_name.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
#include "plugins/common/png_writer.h"
#include "tests/plugins/plugin_test_support.h"

namespace glyphmill::plugins {
namespace {

using plugintest::ReadText;
using plugintest::ScratchFolder;

TEST(ShortString, StoresLengthThenTextAndZeroesTheRest) {
  uint8_t field[5];
  std::memset(field, 0xAA, sizeof field);
  EXPECT_EQ(WriteShortString(field, sizeof field, "fnt"), 3u);
  EXPECT_EQ(field[0], 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field + 1), 3), "fnt");
  EXPECT_EQ(field[4], 0);
}

TEST(ShortString, CutsLongTextBeforeAUtf8SequenceThatWouldNotFit) {
  uint8_t field[5];
  // "ab" then U+00E9 (2 bytes) then U+20AC (3 bytes): 4 bytes of room hold "ab\xC3\xA9" only.
  EXPECT_EQ(WriteShortString(field, sizeof field, "ab\xC3\xA9\xE2\x82\xAC"), 4u);
  // Room for 3 bytes: the 2-byte sequence would be split, so only "ab" is kept.
  uint8_t small[4];
  EXPECT_EQ(WriteShortString(small, sizeof small, "ab\xC3\xA9"), 2u);
  EXPECT_EQ(small[0], 2);
  EXPECT_EQ(small[3], 0);
}

TEST(ShortString, A256ByteFieldHoldsAt255Bytes) {
  uint8_t field[256];
  EXPECT_EQ(WriteShortString(field, sizeof field, std::string(400, 'x')), 255u);
  EXPECT_EQ(field[0], 255);
}

TEST(PageFileName, IsTheDescriptorBaseNameWithSuffixBesideIt) {
  EXPECT_EQ(PageFileFor("/tmp/out/font.fnt").path, "/tmp/out/font_0.png");
  EXPECT_EQ(PageFileFor("/tmp/out/font.fnt").relativeName, "font_0.png");
  EXPECT_EQ(PageFileFor("font.fnt").path, "font_0.png");
  EXPECT_EQ(PageFileFor("dir/my.font.fnt").relativeName, "my.font_0.png");
  EXPECT_EQ(PageFileFor("dir/noext").relativeName, "noext_0.png");
}

TEST(PageFileName, QuotesAndControlCharactersCannotBreakTheDescriptorField) {
  EXPECT_EQ(PageFileFor("dir/a\"b\nc.fnt").relativeName, "a_b_c_0.png");
  EXPECT_EQ(PageFileFor("dir/a\"b\nc.fnt").path, "dir/a_b_c_0.png");
}

TEST(HostRecord, ShorterThanVersionOneIsIgnored) {
  GlyphmillFontInfoV1 record{};
  record.struct_size = sizeof record - 1;
  EXPECT_FALSE(CopyHostFontInfo(&record, 0).has_value());
  EXPECT_FALSE(CopyHostFontInfo(static_cast<const GlyphmillFontInfoV1*>(nullptr), 0).has_value());
}

TEST(HostRecord, VersionTwoGivesEachCharactersOffsetsAndTheFontsLine) {
  const GlyphmillCharGeometry geometry[3] = {{1, 2}, {-3, 4}, {5, -6}};
  GlyphmillFontInfoV2 record{};
  record.struct_size = sizeof record;
  record.line_height = 22;
  record.ascent = 18;
  record.descent = 4;
  record.char_count = 3;
  record.geometry = geometry;
  auto info = CopyHostFontInfo(&record, 3);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->lineHeight, 22);
  EXPECT_EQ(info->base, 18);
  EXPECT_EQ(info->geometry, (std::vector<CharGeometry>{{1, 2}, {-3, 4}, {5, -6}}));
  // Offsets for a table of another size cannot be matched to the records.
  auto mismatched = CopyHostFontInfo(&record, 2);
  ASSERT_TRUE(mismatched);
  EXPECT_FALSE(mismatched->hasGeometry());
  record.struct_size = sizeof record - 1;
  EXPECT_FALSE(CopyHostFontInfo(&record, 3).has_value());
}

// Two characters in 24-pixel cells whose pen and line top lie (4, 3) and (6, 3) into the cell.
std::vector<TExportCharInfo> TwoCells() { return {{10, 24, 0, 0, 1, 8, 'A'}, {12, 24, 10, 0, -2, 13, 'j'}}; }

TEST(BmFontModel, WithTheHostsGeometryGlyphsLandOnThePenAndBaseline) {
  HostFontInfo host;
  host.lineHeight = 19;
  host.ascent = host.base = 15;
  host.geometry = {{4, 3}, {6, 3}};
  const auto chars = TwoCells();
  const BmFontDescription d = BuildBmFontDescription(64, 32, 5, chars, host, {"p.png"});
  EXPECT_EQ(d.common.lineHeight, 19);
  EXPECT_EQ(d.common.base, 15);
  EXPECT_EQ(d.info.padding, (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(d.info.spacing, (std::array<int32_t, 2>{0, 0}));
  ASSERT_EQ(d.chars.size(), 3u);  // the space, 'A', 'j'
  EXPECT_EQ(std::tie(d.chars[1].id, d.chars[1].xoffset, d.chars[1].yoffset, d.chars[1].xadvance),
            std::tuple(uint32_t{'A'}, -4, -3, 9));
  EXPECT_EQ(std::tie(d.chars[2].id, d.chars[2].x, d.chars[2].xoffset, d.chars[2].yoffset, d.chars[2].xadvance),
            std::tuple(uint32_t{'j'}, 10, -6, -3, 11));
}

TEST(BmFontModel, WithoutGeometryTheCellsAreLaidOutAsTheFixedRecordsSay) {
  HostFontInfo host;
  host.lineHeight = 24;
  host.base = 18;
  host.ascent = 15;
  const auto chars = TwoCells();
  const BmFontDescription d = BuildBmFontDescription(64, 32, 5, chars, host, {"p.png"});
  EXPECT_EQ(d.common.lineHeight, 24);
  EXPECT_EQ(d.common.base, 18);
  ASSERT_EQ(d.chars.size(), 3u);
  EXPECT_EQ(std::tie(d.chars[2].xoffset, d.chars[2].yoffset, d.chars[2].xadvance), std::tuple(-2, 0, 11));
}

TEST(HostRecord, PlacedListIsUsedOnlyWhenItMatchesTheTable) {
  const uint8_t placed[3] = {1, 0, 7};
  GlyphmillFontInfoV1 record{};
  record.struct_size = sizeof record;
  record.char_count = 3;
  record.placed = placed;
  auto info = CopyHostFontInfo(&record, 3);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->isPlaced(0));
  EXPECT_FALSE(info->isPlaced(1));
  EXPECT_TRUE(info->isPlaced(2));
  // A list for a table of another size cannot be matched to the records: all count as placed.
  auto mismatched = CopyHostFontInfo(&record, 4);
  ASSERT_TRUE(mismatched);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(mismatched->isPlaced(i));
}

TEST(HostRecord, NullFaceAndZeroKerningsAreHarmless) {
  const GlyphmillKerningPair pairs[] = {{65, 86, -2}, {65, 87, 0}, {84, 111, -3}};
  GlyphmillFontInfoV1 record{};
  record.struct_size = sizeof record + 16;  // a later version: longer records stay readable
  record.kerning_count = 3;
  record.kernings = pairs;
  auto info = CopyHostFontInfo(&record, 0);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->faceName, "");
  EXPECT_EQ(info->kernings, (std::vector<KerningPair>{{65, 86, -2}, {84, 111, -3}}));
}

TEST(PendingOutput, AppearsOnlyOnCommit) {
  ScratchFolder dir;
  const std::string target = dir.file("out.txt");
  {
    PendingFile file(target);
    file.write(std::string_view("hello"));
    EXPECT_FALSE(std::filesystem::exists(target));
    file.Commit();
  }
  EXPECT_EQ(ReadText(target), "hello");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.txt"});
}

TEST(PendingOutput, DroppedWithoutCommitKeepsTheOldFileAndLeavesNoTemporary) {
  ScratchFolder dir;
  const std::string target = dir.file("out.txt");
  {
    PendingFile first(target);
    first.write(std::string_view("old"));
    first.Commit();
  }
  {
    PendingFile second(target);
    second.write(std::string_view("new, but the export failed"));
  }
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.txt"});
}

TEST(PendingOutput, ATargetNameAsLongAsANameCanBeStillWorks) {
  ScratchFolder dir;
  const std::string target = dir.file(std::string(255 - 4, 'n') + ".fnt");
  {
    PendingFile file(target);
    file.write(std::string_view("x"));
    file.Commit();
  }
  EXPECT_EQ(ReadText(target), "x");
}

TEST(PendingOutput, AMissingFolderIsAClearError) {
  ScratchFolder dir;
  const std::string target = dir.file("missing/out.txt");
  try {
    PendingFile file(target);
    FAIL() << "expected an error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
  }
}

TEST(PendingOutput, ATargetThatIsAFolderFailsAtCommitAndLeavesNoTemporary) {
  ScratchFolder dir;
  std::filesystem::create_directory(dir.path() / "taken");
  PendingFile file(dir.file("taken"));
  file.write(std::string_view("data"));
  EXPECT_THROW(file.Commit(), std::runtime_error);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"taken"});
}

TEST(PendingOutput, FilesCommittedTogetherAllAppear) {
  ScratchFolder dir;
  {
    PendingFile page(dir.file("font_0.png")), descriptor(dir.file("font.fnt"));
    page.write(std::string_view("page"));
    descriptor.write(std::string_view("descriptor"));
    PendingFile* const both[] = {&page, &descriptor};
    CommitTogether(both);
  }
  EXPECT_EQ(ReadText(dir.file("font_0.png")), "page");
  EXPECT_EQ(ReadText(dir.file("font.fnt")), "descriptor");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"font.fnt", "font_0.png"}));
}

// The second rename fails after the first one replaced the page: the old page comes back, so the
// earlier page and descriptor still belong together, and nothing else is left behind.
TEST(PendingOutput, WhenOneOfFilesCommittedTogetherFailsNoneIsReplaced) {
  ScratchFolder dir;
  {
    PendingFile old(dir.file("font_0.png"));
    old.write(std::string_view("old page"));
    old.Commit();
  }
  std::filesystem::create_directories(dir.path() / "font.fnt" / "occupied");
  {
    PendingFile page(dir.file("font_0.png")), descriptor(dir.file("font.fnt"));
    page.write(std::string_view("new page"));
    descriptor.write(std::string_view("new descriptor"));
    PendingFile* const both[] = {&page, &descriptor};
    EXPECT_THROW(CommitTogether(both), std::runtime_error);
  }
  EXPECT_EQ(ReadText(dir.file("font_0.png")), "old page");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"font.fnt", "font_0.png"}));

  // A new file among them is removed again.
  std::filesystem::remove(dir.file("font_0.png"));
  {
    PendingFile page(dir.file("font_0.png")), descriptor(dir.file("font.fnt"));
    page.write(std::string_view("new page"));
    PendingFile* const both[] = {&page, &descriptor};
    EXPECT_THROW(CommitTogether(both), std::runtime_error);
  }
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"font.fnt"}));
}

// A process interrupted while its temporaries exist removes them and still ends by the signal.
TEST(PendingOutput, AnInterruptedProcessLeavesNoTemporary) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    ScratchFolder dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      PendingFile page(dir.file("font_0.png")), descriptor(dir.file("font.fnt"));
      page.write(std::string_view("page"));
      descriptor.write(std::string_view("descriptor"));
      ::raise(signal);
      _exit(0);  // not reached: the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(WTERMSIG(status), signal);
    }
    EXPECT_TRUE(dir.entries().empty()) << dir.entries()[0];
  }
}

TEST(PendingOutput, HandlersAreTheEarlierOnesAgainOnceNoTemporaryIsLeft) {
  struct sigaction before = {};
  sigaction(SIGTERM, nullptr, &before);
  ScratchFolder dir;
  {
    PendingFile file(dir.file("a"));
    struct sigaction during = {};
    sigaction(SIGTERM, nullptr, &during);
    EXPECT_NE(during.sa_handler, before.sa_handler);
    file.Commit();
  }
  struct sigaction after = {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

// Pages large enough to be filtered in bands on several threads decode to the same pixels.
TEST(PngPage, ALargeImageRoundTripsInEveryChannelLayout) {
  ScratchFolder dir;
  const plugintest::TestTexture t = plugintest::MakeTexture(1500, 900);
  {
    PendingFile rgba(dir.file("rgba.png")), rgb(dir.file("rgb.png")), grey(dir.file("grey.png"));
    WritePng(rgba, t.width, t.height, t.bgr.data(), t.alpha.data());
    WritePng(rgb, t.width, t.height, t.bgr.data(), nullptr);
    WritePng(grey, t.width, t.height, nullptr, t.alpha.data());
    rgba.Commit();
    rgb.Commit();
    grey.Commit();
  }
  EXPECT_EQ(plugintest::ReadPng(dir.file("rgba.png")).pixels, plugintest::ExpectedRgba(t));
  EXPECT_EQ(plugintest::ReadPng(dir.file("rgb.png")).pixels, plugintest::ExpectedRgb(t));
  EXPECT_EQ(plugintest::ReadPng(dir.file("grey.png")).pixels, t.alpha);
}

// A page of more than 16 MiB of filtered rows is deflated with the faster effort, in more bands
// than there are threads.
TEST(PngPage, APageAboveSixteenMebibytesRoundTrips) {
  ScratchFolder dir;
  const plugintest::TestTexture t = plugintest::MakeTexture(2100, 2100);
  {
    PendingFile rgba(dir.file("rgba.png"));
    WritePng(rgba, t.width, t.height, t.bgr.data(), t.alpha.data());
    rgba.Commit();
  }
  EXPECT_EQ(plugintest::ReadPng(dir.file("rgba.png")).pixels, plugintest::ExpectedRgba(t));
}

// The filtered rows of a written page: each row's filter type, then its bytes, inflated from the
// IDAT chunks.
struct FilteredRows {
  std::vector<uint8_t> types;
  std::vector<std::vector<uint8_t>> rows;  // the unfiltered bytes of each row, rebuilt
};

uint32_t BigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

FilteredRows ReadFilteredRows(const std::string& path, std::size_t rowBytes, uint32_t height, std::size_t bpp) {
  const std::vector<uint8_t> file = plugintest::ReadBytes(path);
  std::vector<uint8_t> idat;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = BigEndian(&file[at]);
    if (std::memcmp(&file[at + 4], "IDAT", 4) == 0) idat.insert(idat.end(), &file[at + 8], &file[at + 8 + length]);
    at += 12 + length;
  }
  std::vector<uint8_t> filtered((rowBytes + 1) * height);
  uLongf size = filtered.size();
  EXPECT_EQ(uncompress(filtered.data(), &size, idat.data(), idat.size()), Z_OK);
  EXPECT_EQ(size, filtered.size());
  FilteredRows out;
  std::vector<uint8_t> prev(rowBytes, 0);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* f = &filtered[y * (rowBytes + 1)];
    out.types.push_back(f[0]);
    std::vector<uint8_t> row(rowBytes);
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predictions[5] = {0, a, b, (a + b) / 2, paeth};
      row[i] = static_cast<uint8_t>(f[1 + i] + predictions[f[0] % 5]);
    }
    out.rows.push_back(row);
    prev = row;
  }
  return out;
}

// The filter a row takes: of None, Sub, Up, Average and Paeth, the first whose bytes, read as
// signed values, have the smallest summed magnitude.
uint8_t ChosenFilter(const std::vector<uint8_t>& row, const std::vector<uint8_t>& prev, std::size_t bpp) {
  long best = -1;
  uint8_t chosen = 0;
  for (uint8_t type = 0; type < 5; ++type) {
    long sum = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predictions[5] = {0, a, b, (a + b) / 2, paeth};
      sum += std::abs(static_cast<int8_t>(static_cast<uint8_t>(row[i] - predictions[type])));
    }
    if (best < 0 || sum < best) {
      best = sum;
      chosen = type;
    }
  }
  return chosen;
}

// Rows of every kind a glyph page has (empty, repeated, glyph edges, noise), in widths that are
// and are not whole blocks of sixteen bytes: each row takes the filter the smallest-weight rule
// picks, and the rows decode to the pixels given.
TEST(PngPage, EachRowTakesTheLightestFilterAndDecodesToItsPixels) {
  ScratchFolder dir;
  for (const uint16_t width : {1, 5, 16, 37, 300}) {
    plugintest::TestTexture t;
    t.width = width;
    t.height = 40;
    const std::size_t pixels = std::size_t{width} * t.height;
    t.bgr.assign(pixels * 3, 192);
    t.alpha.assign(pixels, 0);
    uint32_t seed = 12345u + width;
    for (uint32_t y = 0; y < t.height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const std::size_t i = std::size_t{y} * width + x;
        seed = seed * 1664525u + 1013904223u;
        if (y >= 10 && y < 20 && (x + y) % 7 < 3) t.alpha[i] = static_cast<uint8_t>(seed >> 24);  // glyph-like
        if (y >= 25 && y < 30) {  // noise in every channel
          t.bgr[3 * i] = static_cast<uint8_t>(seed >> 8);
          t.bgr[3 * i + 1] = static_cast<uint8_t>(seed >> 16);
          t.alpha[i] = static_cast<uint8_t>(seed >> 24);
        }
        if (y >= 32) t.bgr[3 * i + 2] = static_cast<uint8_t>(x * 255 / width);  // a ramp, then repeated
      }
    }
    const std::string rgbaPath = dir.file("rgba" + std::to_string(width) + ".png");
    const std::string greyPath = dir.file("grey" + std::to_string(width) + ".png");
    {
      PendingFile rgba(rgbaPath), grey(greyPath);
      WritePng(rgba, t.width, t.height, t.bgr.data(), t.alpha.data());
      WritePng(grey, t.width, t.height, nullptr, t.alpha.data());
      rgba.Commit();
      grey.Commit();
    }
    const std::vector<uint8_t> expected = plugintest::ExpectedRgba(t);
    for (const auto& [path, bpp] : {std::pair{rgbaPath, std::size_t{4}}, std::pair{greyPath, std::size_t{1}}}) {
      const std::size_t rowBytes = std::size_t{width} * bpp;
      const FilteredRows rows = ReadFilteredRows(path, rowBytes, t.height, bpp);
      std::vector<uint8_t> prev(rowBytes, 0);
      for (uint32_t y = 0; y < t.height; ++y) {
        EXPECT_EQ(rows.types[y], ChosenFilter(rows.rows[y], prev, bpp)) << path << " row " << y;
        for (std::size_t x = 0; x < width; ++x) {
          const std::size_t i = std::size_t{y} * width + x;
          if (bpp == 1) {
            ASSERT_EQ(rows.rows[y][x], t.alpha[i]) << path << " row " << y;
          } else {
            for (std::size_t k = 0; k < 4; ++k) ASSERT_EQ(rows.rows[y][4 * x + k], expected[4 * i + k]) << path;
          }
        }
        prev = rows.rows[y];
      }
    }
  }
}

}  // namespace
}  // namespace glyphmill::plugins
