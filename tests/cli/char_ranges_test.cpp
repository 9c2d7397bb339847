// Character sets from the command line: code-unit ranges and the code units of UTF-8 files.
#include "cli/char_ranges.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace glyphmill::cli {
namespace {

std::vector<uint32_t> Marked(const CharacterSelection& s) {
  std::vector<uint32_t> out;
  for (uint32_t u = 0; u < s.size(); ++u)
    if (s[u]) out.push_back(u);
  return out;
}

TEST(CharRanges, DecimalHexAndSingleCodeUnits) {
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkCharRanges("32-34, 0x41 ,U+00e9,0X400-0x401,65535", s, &error)) << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{32, 33, 34, 0x41, 0xE9, 0x400, 0x401, 65535}));
}

TEST(CharRanges, TheWholeRangeAndOverlapsAreFine) {
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkCharRanges("0-65535,10-20", s, &error)) << error;
  EXPECT_EQ(CountSelected(s), 65536u);
}

TEST(CharRanges, MarksAddToWhatIsThere) {
  CharacterSelection s{};
  s[7] = 1;
  std::string error;
  ASSERT_TRUE(MarkCharRanges("8", s, &error));
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{7, 8}));
}

TEST(CharRanges, BadRangesAreRefusedAndMarkNothing) {
  for (const char* bad : {"", ",", "32-", "-5", "32-126,", "a-z", "65536", "0x10000", "126-32", "0x", "3 2",
                          "1-2-3", "99999999999999999999", "U+", "32--40", "+5"}) {
    SCOPED_TRACE(bad);
    CharacterSelection s{};
    std::string error;
    // A valid item before the bad one must not be marked either.
    EXPECT_FALSE(MarkCharRanges(std::string("40-41,") + bad, s, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(CountSelected(s), 0u);
  }
}

TEST(CharRanges, MessagesNameTheOffendingItem) {
  CharacterSelection s{};
  std::string error;
  EXPECT_FALSE(MarkCharRanges("32-126,126-32", s, &error));
  EXPECT_NE(error.find("126-32"), std::string::npos) << error;
  EXPECT_FALSE(MarkCharRanges("70000", s, &error));
  EXPECT_NE(error.find("70000"), std::string::npos) << error;
}

TEST(Utf8CodeUnits, AsciiMultiByteAndSurrogatePairs) {
  CharacterSelection s{};
  std::string error;
  // "A", e acute (2 bytes), euro sign (3 bytes), U+1F600 (4 bytes: D83D DE00).
  ASSERT_TRUE(MarkUtf8CodeUnits("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", s, &error)) << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00}));
}

TEST(Utf8CodeUnits, ALeadingByteOrderMarkIsNotTextButLineEndsAre) {
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkUtf8CodeUnits("\xEF\xBB\xBFx\r\n", s, &error));
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{10, 13, 'x'}));
  CharacterSelection t{};
  ASSERT_TRUE(MarkUtf8CodeUnits("x\xEF\xBB\xBF", t, &error));  // later ones are text
  EXPECT_TRUE(t[0xFEFF]);
}

TEST(Utf8CodeUnits, MalformedTextIsRefusedWithItsOffset) {
  struct Case {
    std::string bytes;
    std::size_t offset;
  };
  for (const Case& c : {Case{"ab\x80", 2}, Case{"\xC3", 0}, Case{"a\xC3(", 1}, Case{"\xC0\xAF", 0},
                        Case{"\xE0\x80\xAF", 0}, Case{"\xED\xA0\x80", 0}, Case{"\xF4\x90\x80\x80", 0},
                        Case{"xy\xFF", 2}, Case{"\xF0\x9F\x98", 0}}) {
    SCOPED_TRACE(c.offset);
    CharacterSelection s{};
    std::string error;
    EXPECT_FALSE(MarkUtf8CodeUnits(c.bytes, s, &error));
    EXPECT_NE(error.find("byte " + std::to_string(c.offset)), std::string::npos) << error;
    EXPECT_EQ(CountSelected(s), 0u);
  }
}

TEST(Utf8CodeUnits, FilesAreReadWholeAndMissingOnesReported) {
  const std::string path = ::testing::TempDir() + "glyphmill-chars.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Hi\xD0\x96";  // Cyrillic Zhe
  }
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkFileCodeUnits(path, s, &error)) << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{'H', 'i', 0x416}));
  std::remove(path.c_str());

  EXPECT_FALSE(MarkFileCodeUnits(path, s, &error));
  EXPECT_NE(error.find(path), std::string::npos);
  EXPECT_FALSE(MarkFileCodeUnits(::testing::TempDir(), s, &error));  // a folder
}

}  // namespace
}  // namespace glyphmill::cli
