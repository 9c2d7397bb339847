// What each shipped exporter tells the host, and what its library shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "tests/plugins/plugin_test_support.h"

namespace glyphmill::plugintest {
namespace {

struct Expected {
  const char* file;
  const char* name;
  uint8_t type;
  const char* extension;
  const char* entry;
};

const Expected kShipped[] = {
    {"bmfont_text.so", "BMFont Text", ptSimple, "fnt", "SimpleExport"},
    {"bmfont_xml.so", "BMFont XML", ptSimple, "fnt", "SimpleExport"},
    {"bmfont_binary.so", "BMFont Binary", ptSimple, "fnt", "SimpleExport"},
    {"png_image.so", "PNG Image", ptGraphicRGBOrAlpha, "png", "GraphicExport"},
    {"tga_image.so", "TGA Image", ptGraphicRGBOrAlpha, "tga", "GraphicExport"},
    {"json_metrics.so", "JSON Metrics", ptData, "json", "DataExport"},
};

class ShippedPlugin : public ::testing::TestWithParam<Expected> {};

TEST_P(ShippedPlugin, DescribesItselfWithItsNameTypeAndExtension) {
  const Expected& e = GetParam();
  LoadedPlugin plugin(e.file);
  const TPluginInfo info = plugin.info();
  EXPECT_EQ(ShortString(info.Name), e.name);
  EXPECT_EQ(info.PluginType, e.type);
  EXPECT_NE(info.AskFileName, 0);
  EXPECT_NE(info.HasExtension, 0);
  EXPECT_EQ(ShortString(info.Extension), e.extension);
  EXPECT_LE(info.Extension[0], 4);
  // Bytes past a short string's length stay as the host zeroed them.
  for (std::size_t i = 1 + info.Name[0]; i < sizeof info.Name; ++i) ASSERT_EQ(info.Name[i], 0) << i;
}

TEST_P(ShippedPlugin, ExportsExactlyGetPluginInfoAndTheEntryItsTypeNeeds) {
  const Expected& e = GetParam();
  LoadedPlugin plugin(e.file);
  EXPECT_NE(plugin.symbol("GetPluginInfo"), nullptr);
  EXPECT_NE(plugin.symbol(e.entry), nullptr);

  // The dynamic symbol table holds the entry points and nothing else: no helper, no template code.
  const std::string command = "nm -D --defined-only '" + PluginPath(e.file) + "' 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string listing;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) listing += buffer;
  ASSERT_EQ(pclose(pipe), 0) << "nm failed";
  std::set<std::string> names;
  std::istringstream lines(listing);
  std::string address, kind, name;
  while (lines >> address >> kind >> name) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"GetPluginInfo", e.entry}));
}

INSTANTIATE_TEST_SUITE_P(All, ShippedPlugin, ::testing::ValuesIn(kShipped), [](const auto& p) {
  return std::string(p.param.file).substr(0, std::string(p.param.file).find('.'));
});

TEST(ShippedPlugins, NamesAreDistinctBecauseProjectsFindPluginsByName) {
  std::set<std::string> names;
  for (const Expected& e : kShipped) names.insert(LoadedPlugin(e.file).name());
  EXPECT_EQ(names.size(), std::size(kShipped));
}

}  // namespace
}  // namespace glyphmill::plugintest
