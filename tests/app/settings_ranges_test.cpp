// Loaded settings brought into the ranges their controls offer.
#include "app/settings_ranges.h"

#include <gtest/gtest.h>

#include <climits>

namespace glyphmill {
namespace {

TEST(SettingsRanges, ValuesInRangeAreLeftAloneAndNothingIsSaid) {
  GenerationSettings s = FirstStartSettings();
  s.kerning = -1000;
  s.verticalPad = 100;
  s.outlineWidth = 20;
  s.fontSize = 0;
  const GenerationSettings before = s;
  EXPECT_TRUE(LimitToOfferedRanges(s).empty());
  EXPECT_EQ(s, before);
  EXPECT_FALSE(LimitedFieldsNotice({}).has_value());
}

TEST(SettingsRanges, EveryLimitedFieldIsClampedToItsNearestEnd) {
  GenerationSettings s = FirstStartSettings();
  s.fontSize = 255;
  s.packOrigin = 9;
  s.verticalPad = -101;
  s.leading = INT32_MIN;
  s.trailing = INT32_MAX;
  s.kerning = 1001;
  s.generalPadding = -5000;
  s.outlineHardness = 11;
  s.outlineOpacity = -1;
  s.antialiasMode = 7;
  s.outlineWidth = 0;
  s.shadowSmoothing = 11;
  s.shadowOffset = 65535;
  s.shadowOpacity = 101;
  s.textureWidth = 20000;  // refused by the texture-size rules instead
  const std::vector<LimitedField> changed = LimitToOfferedRanges(s);
  EXPECT_EQ(changed.size(), 14u);
  EXPECT_EQ(s.fontSize, 120);
  EXPECT_EQ(s.packOrigin, kOriginMiddle);
  EXPECT_EQ(s.verticalPad, -100);
  EXPECT_EQ(s.leading, -100);
  EXPECT_EQ(s.trailing, 100);
  EXPECT_EQ(s.kerning, 1000);
  EXPECT_EQ(s.generalPadding, -100);
  EXPECT_EQ(s.outlineHardness, 10);
  EXPECT_EQ(s.outlineOpacity, 0);
  EXPECT_EQ(s.antialiasMode, kLastAntialiasMode);
  EXPECT_EQ(s.outlineWidth, 1);
  EXPECT_EQ(s.shadowSmoothing, 10);
  EXPECT_EQ(s.shadowOffset, 50);
  EXPECT_EQ(s.shadowOpacity, 100);
  EXPECT_EQ(s.textureWidth, 20000);
  EXPECT_TRUE(LimitToOfferedRanges(s).empty());  // a second pass finds nothing left
}

TEST(SettingsRanges, TheNoticeNamesEachFieldWithItsOldAndNewValue) {
  GenerationSettings s = FirstStartSettings();
  s.leading = INT32_MIN;
  s.outlineWidth = 65535;
  EXPECT_EQ(LimitedFieldsNotice(LimitToOfferedRanges(s)),
            "!Project values out of range were limited: leading -2147483648 -> -100, outlineWidth 65535 -> 20");
}

}  // namespace
}  // namespace glyphmill
