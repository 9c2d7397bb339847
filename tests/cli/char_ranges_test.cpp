// Character sets from the command line: code-unit ranges.
#include "cli/char_ranges.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "marked_code_units.h"

namespace glyphmill::cli {
namespace {

using testing::Marked;

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
  for (const char* bad : {"", ",", "32-", "-5", "32-126,", "a-z", "65536", "0x10000", "126-32", "0x", "3 2", "1-2-3",
                          "99999999999999999999", "U+", "32--40", "+5"}) {
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

}  // namespace
}  // namespace glyphmill::cli
