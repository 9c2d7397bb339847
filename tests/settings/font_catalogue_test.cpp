#include "settings/font_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace glyphmill {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

TEST(FontCatalogue, HoldsDefaultAndTheInstalledFamiliesSortedWithoutRegardToCase) {
  FontCatalogue cat = BuildFontCatalogue();
  ASSERT_GE(cat.entries.size(), 3u);
  auto has = [&](const std::string& name) {
    return std::any_of(cat.entries.begin(), cat.entries.end(), [&](const auto& e) { return e.name == name; });
  };
  EXPECT_TRUE(has("Default"));
  EXPECT_TRUE(has("DejaVu Sans"));
  EXPECT_TRUE(has("Liberation Serif"));
  for (size_t i = 1; i < cat.entries.size(); ++i)
    EXPECT_LE(Lower(cat.entries[i - 1].name), Lower(cat.entries[i].name)) << i;
  // Each family once.
  for (size_t i = 1; i < cat.entries.size(); ++i) EXPECT_NE(cat.entries[i - 1].name, cat.entries[i].name);
}

TEST(FontCatalogue, TrueTypeFamiliesGetIconZeroAndArialIsPreselectedWhenPresent) {
  FontCatalogue cat = BuildFontCatalogue();
  for (const auto& e : cat.entries) {
    EXPECT_TRUE(e.kindIcon == 0 || e.kindIcon == 2);
    if (e.name == "DejaVu Sans" || e.name == "Liberation Sans") {
      EXPECT_EQ(e.kindIcon, 0) << e.name;
    }
  }
  auto arial = std::find_if(cat.entries.begin(), cat.entries.end(), [](const auto& e) { return e.name == "Arial"; });
  int expected = arial == cat.entries.end() ? 0 : static_cast<int>(arial - cat.entries.begin());
  EXPECT_EQ(cat.preselectedIndex, expected);
}

}  // namespace
}  // namespace glyphmill
