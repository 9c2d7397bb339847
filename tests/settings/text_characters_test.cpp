// The characters of a text: UTF-8 and UTF-16 decoding into unique code units, what is skipped or
// reported (controls, characters no code unit can hold), malformed text refused, marking a
// selection, and reading the text from a file in bounded pieces.
#include "settings/text_characters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "marked_code_units.h"
#include "scratch_folder.h"

namespace glyphmill {
namespace {

using testing::Marked;

TEST(TextCharacters, Utf8AsciiAndMultiByteCharacters) {
  CharacterSelection s{};
  TextCharacters found;
  std::string error;
  // "A", e acute (2 bytes), euro sign (3 bytes), "A" again.
  ASSERT_TRUE(
      MarkTextCharacters("A\xC3\xA9\xE2\x82\xAC"
                         "A",
                         s, &found, &error))
      << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{0x41, 0xE9, 0x20AC}));
  EXPECT_EQ(found.marked, 3u);
}

TEST(TextCharacters, LineEndsTabsAndOtherControlsAreSkipped) {
  CharacterSelection s{};
  TextCharacters found;
  std::string error;
  ASSERT_TRUE(MarkTextCharacters(std::string("a\r\nb\tc\0d\x7F"
                                             "e\xC2\x85",
                                             12),
                                 s, &found, &error))
      << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{'a', 'b', 'c', 'd', 'e'}));
  EXPECT_EQ(found.controlsSkipped, 6u);
}

TEST(TextCharacters, CharactersAboveTheBasicPlaneAreReportedOnceAndMarkNothing) {
  CharacterSelection s{};
  TextCharacters found;
  std::string error;
  // U+1F600 twice, U+10348 once, then "x": no surrogate halves end up selected.
  ASSERT_TRUE(MarkTextCharacters("\xF0\x9F\x98\x80\xF0\x90\x8D\x88\xF0\x9F\x98\x80x", s, &found, &error)) << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{'x'}));
  EXPECT_EQ(found.notRepresentable, (std::vector<uint32_t>{0x1F600, 0x10348}));
  EXPECT_EQ(NotRepresentableNotice(0x1F600),
            "U+1F600 is not representable: a selection holds characters up to U+FFFF only");
}

TEST(TextCharacters, ALeadingUtf8ByteOrderMarkIsNotTextButALaterOneIs) {
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkTextCharacters("\xEF\xBB\xBFx", s, nullptr, &error));
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{'x'}));
  CharacterSelection t{};
  ASSERT_TRUE(MarkTextCharacters("x\xEF\xBB\xBF", t, nullptr, &error));
  EXPECT_TRUE(t[0xFEFF]);
}

TEST(TextCharacters, Utf16WithEitherByteOrderMark) {
  CharacterSelection le{}, be{};
  TextCharacters found;
  std::string error;
  // "Hi", Cyrillic Zhe, CR LF, U+1F600 as a surrogate pair.
  const std::string little("\xFF\xFEH\0i\0\x16\x04\r\0\n\0\x3D\xD8\x00\xDE", 16);
  ASSERT_TRUE(MarkTextCharacters(little, le, &found, &error)) << error;
  EXPECT_EQ(Marked(le), (std::vector<uint32_t>{'H', 'i', 0x416}));
  EXPECT_EQ(found.notRepresentable, (std::vector<uint32_t>{0x1F600}));
  EXPECT_EQ(found.controlsSkipped, 2u);
  const std::string big("\xFE\xFF\0H\0i\x04\x16", 8);
  ASSERT_TRUE(MarkTextCharacters(big, be, nullptr, &error)) << error;
  EXPECT_EQ(Marked(be), (std::vector<uint32_t>{'H', 'i', 0x416}));
}

TEST(TextCharacters, MalformedTextIsRefusedWithItsOffsetAndMarksNothing) {
  struct Case {
    std::string bytes;
    std::size_t offset;
  };
  for (const Case& c :
       {Case{"ab\x80", 2}, Case{"\xC3", 0}, Case{"a\xC3(", 1}, Case{"\xC0\xAF", 0}, Case{"\xE0\x80\xAF", 0},
        Case{"\xED\xA0\x80", 0}, Case{"\xF4\x90\x80\x80", 0}, Case{"xy\xFF", 2}, Case{"\xF0\x9F\x98", 0},
        // UTF-16: an odd byte, a lone high and a lone low surrogate.
        Case{std::string("\xFF\xFEH\0i", 5), 4}, Case{std::string("\xFF\xFEH\0\x3D\xD8x\0", 8), 4},
        Case{std::string("\xFE\xFF\xDE\x00", 4), 2}}) {
    SCOPED_TRACE(c.offset);
    CharacterSelection s{};
    std::string error;
    EXPECT_FALSE(MarkTextCharacters(c.bytes, s, nullptr, &error));
    EXPECT_NE(error.find("byte " + std::to_string(c.offset)), std::string::npos) << error;
    EXPECT_EQ(CountSelected(s), 0u);
  }
}

TEST(TextCharacters, FilesAreReadWholeAndMissingOnesOrFoldersReported) {
  const std::string path = ::testing::TempDir() + "glyphmill-chars.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Hi\xD0\x96\r\n";
    // More than one read piece of text.
    for (int i = 0; i < 70000; ++i) out << 'z';
  }
  CharacterSelection s{};
  std::string error;
  ASSERT_TRUE(MarkFileCharacters(path, s, nullptr, &error)) << error;
  EXPECT_EQ(Marked(s), (std::vector<uint32_t>{'H', 'i', 'z', 0x416}));
  std::remove(path.c_str());

  EXPECT_FALSE(MarkFileCharacters(path, s, nullptr, &error));
  EXPECT_NE(error.find(path), std::string::npos);
  EXPECT_FALSE(MarkFileCharacters(::testing::TempDir(), s, nullptr, &error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

TEST(TextCharacters, AnEndlessDeviceIsRefusedAtTheSizeLimit) {
  CharacterSelection s{};
  std::string text, error;
  EXPECT_FALSE(ReadCharacterText("/dev/zero", &text, &error));
  EXPECT_NE(error.find("\"/dev/zero\""), std::string::npos) << error;
  EXPECT_NE(error.find("at most 16 MiB"), std::string::npos) << error;
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(MarkFileCharacters("/dev/zero", s, nullptr, &error));
  EXPECT_EQ(CountSelected(s), 0u);
}

// ---- decoding into code units

using Units = std::vector<uint16_t>;
using Points = std::vector<uint32_t>;

// The characters of well-formed text.
TextCharacters Decode(std::string_view bytes) {
  TextCharacters t;
  std::string error;
  EXPECT_TRUE(DecodeTextCharacters(bytes, &t, &error)) << error;
  return t;
}

// The message for malformed text, "" when it was decoded.
std::string Refusal(std::string_view bytes) {
  TextCharacters t;
  std::string error;
  return DecodeTextCharacters(bytes, &t, &error) ? std::string() : error;
}

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
  const TextCharacters t = Decode(
      "b\xC3\x84"
      "a\xD0\x96\xE2\x82\xAC"
      "ba\xE6\x97\xA5");  // bÄaЖ€ba日
  EXPECT_EQ(t.codeUnits, (Units{'a', 'b', 0x00C4, 0x0416, 0x20AC, 0x65E5}));
  EXPECT_TRUE(t.notRepresentable.empty());
}

TEST(TextCharactersUtf8, CharactersBeyondTheBmpAreReportedOnceInFirstSeenOrder) {
  // 😀 U+1F600, 𝄞 U+1D11E, 😀 again; none marks a code unit (no surrogate halves either).
  const TextCharacters t = Decode("x\xF0\x9F\x98\x80y\xF0\x9D\x84\x9E\xF0\x9F\x98\x80");
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
  const TextCharacters t = Decode(text);
  EXPECT_EQ(t.codeUnits, (Units{' ', 'A', 'B', 'C'}));
}

TEST(TextCharactersUtf8, ByteOrderMarkInsideTheTextIsACharacter) {
  const TextCharacters t = Decode("A\xEF\xBB\xBF");
  EXPECT_EQ(t.codeUnits, (Units{'A', 0xFEFF}));
}

TEST(TextCharactersUtf8, InvalidSequencesAreRefusedAtTheirOffset) {
  // Overlong "/" (C0 AF), an encoded surrogate (ED A0 80), a stray continuation byte (80), a lead
  // cut short by an ASCII letter (E2 82 'Q'), a value beyond U+10FFFF (F4 90 80 80), FF, and a
  // truncated sequence at the end: each makes the whole text malformed, so nothing of a file in
  // another encoding is half used.
  for (const std::string& bad :
       {std::string("a\xC0\xAF"), std::string("a\xED\xA0\x80"), std::string("a\x80"), std::string("a\xE2\x82Q"),
        std::string("a\xF4\x90\x80\x80"), std::string("a\xFF"), std::string("a\xE2\x82")})
    EXPECT_EQ(Refusal(bad), "malformed UTF-8 at byte 1") << bad;
}

TEST(TextCharactersUtf8, HighestCodeUnitsAndEmptyText) {
  EXPECT_EQ(Decode("\xEF\xBF\xBF").codeUnits, (Units{0xFFFF}));
  EXPECT_EQ(Decode("\xF4\x8F\xBF\xBF").notRepresentable, (Points{0x10FFFF}));
  const TextCharacters empty = Decode("");
  EXPECT_TRUE(empty.codeUnits.empty());
  EXPECT_TRUE(empty.notRepresentable.empty());
}

// ---- UTF-16

TEST(TextCharactersUtf16, LittleAndBigEndianGiveTheSameCharacters) {
  const std::u16string text = u"Grüße \U0001F600日\n";
  for (bool bigEndian : {false, true}) {
    const TextCharacters t = Decode(Utf16(text, bigEndian));
    EXPECT_EQ(t.codeUnits, (Units{' ', 'G', 'e', 'r', 0x00DF, 0x00FC, 0x65E5})) << bigEndian;
    EXPECT_EQ(t.notRepresentable, (Points{0x1F600})) << bigEndian;
  }
}

TEST(TextCharactersUtf16, UnpairedSurrogatesAndAnOddLastByteAreRefused) {
  EXPECT_EQ(Refusal(Utf16(std::u16string{u'A', char16_t(0xD800), u'B'}, false)), "malformed UTF-16 at byte 4");
  EXPECT_EQ(Refusal(Utf16(std::u16string{u'A', char16_t(0xDC00), u'C'}, false)), "malformed UTF-16 at byte 4");
  EXPECT_EQ(Refusal(Utf16(std::u16string{u'A', u'B'}, false) + '\x44'), "malformed UTF-16 at byte 6");
}

TEST(TextCharactersUtf16, HighSurrogateAtTheEndIsRefused) {
  EXPECT_EQ(Refusal(Utf16(std::u16string{u'Z', char16_t(0xD83D)}, true)), "malformed UTF-16 at byte 4");
}

TEST(TextCharactersNotation, FourDigitsAtLeast) {
  EXPECT_EQ(CodePointNotation(0x41), "U+0041");
  EXPECT_EQ(CodePointNotation(0x1F600), "U+1F600");
}

// ---- files

class TextFileTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = scratch_.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  testing::ScratchFolder scratch_{"text"};
  std::filesystem::path folder_ = scratch_.path();
};

TEST_F(TextFileTest, ReadsTheWholeFileAcrossManyPieces) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>('a' + i % 26);
  const std::string path = write("long.txt", bytes);
  std::string error;
  std::string read;
  ASSERT_TRUE(ReadCharacterText(path, &read, &error, bytes.size())) << error;
  EXPECT_EQ(read, bytes);
  EXPECT_EQ(Decode(read).codeUnits.size(), 26u);
}

TEST_F(TextFileTest, FileLargerThanTheBoundIsRefused) {
  const std::string path = write("big.txt", std::string(1001, 'x'));
  std::string error;
  std::string read;
  EXPECT_FALSE(ReadCharacterText(path, &read, &error, 1000));
  EXPECT_NE(error.find("at most 1000 bytes"), std::string::npos) << error;
  EXPECT_TRUE(read.empty());
}

TEST_F(TextFileTest, MissingFileAndFolderAreRefusedWithTheirName) {
  std::string error;
  std::string read;
  EXPECT_FALSE(ReadCharacterText((folder_ / "absent.txt").string(), &read, &error, 100));
  EXPECT_NE(error.find("absent.txt"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(ReadCharacterText(folder_.string(), &read, &error, 100));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

TEST_F(TextFileTest, EmptyFileIsEmptyText) {
  std::string error;
  std::string read = "left over";
  ASSERT_TRUE(ReadCharacterText(write("empty.txt", ""), &read, &error, 10)) << error;
  EXPECT_TRUE(read.empty());
}

}  // namespace
}  // namespace glyphmill
