// Text as a character set: UTF-8 and UTF-16 decoding into unique code units, the characters no
// code unit can hold, control characters and broken sequences, and bounded file reading.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "settings/text_characters.h"

namespace glyphmill {
namespace {

using Units = std::vector<uint16_t>;
using Points = std::vector<uint32_t>;

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

// ---- UTF-8

TEST(TextCharactersUtf8, MixedScriptsGiveUniqueAscendingCodeUnits) {
  const TextCharacters t = DecodeTextCharacters(
      "b\xC3\x84"
      "a\xD0\x96\xE2\x82\xAC"
      "ba\xE6\x97\xA5");  // bÄaЖ€ba日
  EXPECT_EQ(t.codeUnits, (Units{'a', 'b', 0x00C4, 0x0416, 0x20AC, 0x65E5}));
  EXPECT_TRUE(t.notRepresentable.empty());
}

TEST(TextCharactersUtf8, CharactersBeyondTheBmpAreReportedOnceInFirstSeenOrder) {
  // 😀 U+1F600, 𝄞 U+1D11E, 😀 again; none marks a code unit (no surrogate halves either).
  const TextCharacters t = DecodeTextCharacters("x\xF0\x9F\x98\x80y\xF0\x9D\x84\x9E\xF0\x9F\x98\x80");
  EXPECT_EQ(t.codeUnits, (Units{'x', 'y'}));
  EXPECT_EQ(t.notRepresentable, (Points{0x1F600, 0x1D11E}));
}

TEST(TextCharactersUtf8, ControlCharactersAndTheByteOrderMarkAreSkipped) {
  // BOM, tab, line ends, DEL, a C1 control (U+0085), NUL; the space stays a character.
  const std::string text = std::string(
                               "\xEF\xBB\xBF"
                               "A\tB\r\n \x7F\xC2\x85",
                               12) +
                           std::string(1, '\0') + "C";
  const TextCharacters t = DecodeTextCharacters(text);
  EXPECT_EQ(t.codeUnits, (Units{' ', 'A', 'B', 'C'}));
}

TEST(TextCharactersUtf8, ByteOrderMarkInsideTheTextIsACharacter) {
  const TextCharacters t = DecodeTextCharacters("A\xEF\xBB\xBF");
  EXPECT_EQ(t.codeUnits, (Units{'A', 0xFEFF}));
}

TEST(TextCharactersUtf8, InvalidSequencesAreSkippedAndDecodingGoesOn) {
  // Overlong "/" (C0 AF), an encoded surrogate (ED A0 80), a stray continuation byte (80), a lead
  // cut short by an ASCII letter (E2 82 'Q'), a value beyond U+10FFFF (F4 90 80 80), FF, and a
  // truncated sequence at the end.
  const TextCharacters t = DecodeTextCharacters(
      "a\xC0\xAF"
      "b\xED\xA0\x80"
      "c\x80"
      "d\xE2\x82Q\xF4\x90\x80\x80"
      "e\xFF"
      "f\xE2\x82");
  EXPECT_EQ(t.codeUnits, (Units{'Q', 'a', 'b', 'c', 'd', 'e', 'f'}));
  EXPECT_TRUE(t.notRepresentable.empty());
}

TEST(TextCharactersUtf8, HighestCodeUnitsAndEmptyText) {
  EXPECT_EQ(DecodeTextCharacters("\xEF\xBF\xBF").codeUnits, (Units{0xFFFF}));
  EXPECT_EQ(DecodeTextCharacters("\xF4\x8F\xBF\xBF").notRepresentable, (Points{0x10FFFF}));
  const TextCharacters empty = DecodeTextCharacters("");
  EXPECT_TRUE(empty.codeUnits.empty());
  EXPECT_TRUE(empty.notRepresentable.empty());
}

// ---- UTF-16

TEST(TextCharactersUtf16, LittleAndBigEndianGiveTheSameCharacters) {
  const std::u16string text = u"Grüße \U0001F600日\n";
  for (bool bigEndian : {false, true}) {
    const TextCharacters t = DecodeTextCharacters(Utf16(text, bigEndian));
    EXPECT_EQ(t.codeUnits, (Units{' ', 'G', 'e', 'r', 0x00DF, 0x00FC, 0x65E5})) << bigEndian;
    EXPECT_EQ(t.notRepresentable, (Points{0x1F600})) << bigEndian;
  }
}

TEST(TextCharactersUtf16, UnpairedSurrogatesAndAnOddLastByteAreSkipped) {
  std::string bytes = Utf16(std::u16string{u'A', char16_t(0xD800), u'B', char16_t(0xDC00), u'C'}, false);
  bytes += '\x44';  // half a unit
  const TextCharacters t = DecodeTextCharacters(bytes);
  EXPECT_EQ(t.codeUnits, (Units{'A', 'B', 'C'}));
  EXPECT_TRUE(t.notRepresentable.empty());
}

TEST(TextCharactersUtf16, HighSurrogateAtTheEndIsSkipped) {
  const TextCharacters t = DecodeTextCharacters(Utf16(std::u16string{u'Z', char16_t(0xD83D)}, true));
  EXPECT_EQ(t.codeUnits, (Units{'Z'}));
}

TEST(TextCharactersNotation, FourDigitsAtLeast) {
  EXPECT_EQ(CodePointNotation(0x41), "U+0041");
  EXPECT_EQ(CodePointNotation(0x1F600), "U+1F600");
}

// ---- files

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("glyphmill-text-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path folder_;
};

TEST_F(TextFileTest, ReadsTheWholeFileAcrossManyPieces) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>('a' + i % 26);
  const std::string path = write("long.txt", bytes);
  std::string error;
  const std::optional<std::string> read = ReadTextFileBounded(path, bytes.size(), &error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(*read, bytes);
  EXPECT_EQ(DecodeTextCharacters(*read).codeUnits.size(), 26u);
}

TEST_F(TextFileTest, FileLargerThanTheBoundIsRefused) {
  const std::string path = write("big.txt", std::string(1001, 'x'));
  std::string error;
  EXPECT_FALSE(ReadTextFileBounded(path, 1000, &error));
  EXPECT_NE(error.find("larger than 1000 bytes"), std::string::npos) << error;
}

TEST_F(TextFileTest, MissingFileAndFolderAreRefusedWithTheirName) {
  std::string error;
  EXPECT_FALSE(ReadTextFileBounded((folder_ / "absent.txt").string(), 100, &error));
  EXPECT_NE(error.find("absent.txt"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(ReadTextFileBounded(folder_.string(), 100, &error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

TEST_F(TextFileTest, EmptyFileIsEmptyText) {
  std::string error;
  const std::optional<std::string> read = ReadTextFileBounded(write("empty.txt", ""), 10, &error);
  ASSERT_TRUE(read) << error;
  EXPECT_TRUE(read->empty());
}

}  // namespace
}  // namespace glyphmill
