// The shared pieces every exporter is built from: short strings, page names, the host record
// check and the output file that appears only when complete.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "plugins/common/host_font_info.h"
#include "plugins/common/page_file_name.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
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
  EXPECT_FALSE(CopyHostFontInfo(nullptr, 0).has_value());
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

}  // namespace
}  // namespace glyphmill::plugins
