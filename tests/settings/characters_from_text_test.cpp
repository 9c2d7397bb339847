// The characters of a text as a selection: UTF-8 and UTF-16 decoding, what is skipped or
// reported, and reading the text from a file in bounded pieces.
#include "settings/characters_from_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace glyphmill {
namespace {

std::vector<uint32_t> Marked(const CharacterSelection& s) {
  std::vector<uint32_t> out;
  for (uint32_t u = 0; u < s.size(); ++u)
    if (s[u]) out.push_back(u);
  return out;
}

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

}  // namespace
}  // namespace glyphmill
