// The command line parsed into CliOptions.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill::cli {
namespace {

CliParse Parse(std::vector<std::string> args) { return ParseCliOptions(args); }

CliOptions Accepted(std::vector<std::string> args) {
  const CliParse p = Parse(std::move(args));
  EXPECT_EQ(p.kind, CliParse::Kind::Run) << p.text;
  return p.options;
}

void ExpectUsageError(std::vector<std::string> args, const std::string& mention = "") {
  const CliParse p = Parse(args);
  EXPECT_EQ(p.kind, CliParse::Kind::Error);
  EXPECT_NE(p.text.find("Usage: glyphmill-cli"), std::string::npos) << p.text;
  if (!mention.empty()) {
    EXPECT_NE(p.text.find(mention), std::string::npos) << p.text;
  }
}

TEST(CliOptions, NothingGivenMeansFirstStartDefaultsAndTheBatchQueue) {
  const CliOptions o = Accepted({});
  EXPECT_FALSE(o.projectPath);
  EXPECT_FALSE(o.font);
  EXPECT_FALSE(o.fontSize);
  EXPECT_FALSE(o.bold);
  EXPECT_TRUE(o.exports.empty());
  EXPECT_FALSE(o.pluginsDir.has_value());  // the search folders
  EXPECT_FALSE(o.quiet || o.force || o.guides || o.listFonts || o.listPlugins);
}

TEST(CliOptions, SettingOverrides) {
  const CliOptions o = Accepted({"proj.gmp", "--font", "DejaVu Sans", "--size", "24", "--no-bold", "--italic", "--aa",
                                 "cleartype", "--texture", "256x512", "--origin", "bottom-left", "--chars", "32-126",
                                 "--outline", "3", "--shadow", "--guides"});
  EXPECT_EQ(o.projectPath, "proj.gmp");
  EXPECT_EQ(o.font, "DejaVu Sans");
  EXPECT_EQ(o.fontSize, 24);
  EXPECT_EQ(o.bold, false);
  EXPECT_EQ(o.italic, true);
  EXPECT_EQ(o.antialiasMode, kAntialiasCleartype);
  EXPECT_EQ(o.textureWidth, 256);
  EXPECT_EQ(o.textureHeight, 512);
  EXPECT_EQ(o.packOrigin, kOriginBottomLeft);
  EXPECT_EQ(o.charRanges, "32-126");
  EXPECT_EQ(o.outlineWidth, 3);
  EXPECT_TRUE(o.shadow);
  EXPECT_TRUE(o.guides);
}

TEST(CliOptions, EveryNamedChoiceMapsToItsValue) {
  const std::pair<const char*, uint8_t> origins[] = {
      {"top-left", 0}, {"top-right", 1}, {"bottom-right", 2}, {"bottom-left", 3}, {"middle", 4}};
  for (auto [name, value] : origins) EXPECT_EQ(Accepted({"--origin", name}).packOrigin, value) << name;
  EXPECT_EQ(Accepted({"--aa", "smooth"}).antialiasMode, 0);
  EXPECT_EQ(Accepted({"--aa", "none"}).antialiasMode, 2);
  EXPECT_EQ(Accepted({"--aa", "sdf"}).antialiasMode, 3);
  EXPECT_EQ(Accepted({"--aa", "msdf"}).antialiasMode, 4);
  EXPECT_EQ(Accepted({"--aa", "mtsdf"}).antialiasMode, 5);
  EXPECT_FALSE(Accepted({"--aa", "sdf"}).sdfSpread.has_value());  // the project's spread stays
  EXPECT_EQ(Accepted({"--sdf-spread", "2"}).sdfSpread, 2);
  EXPECT_FALSE(Accepted({}).maxPages.has_value());  // the project's pages stay
  EXPECT_EQ(Accepted({"--pages", "1"}).maxPages, 1);
  EXPECT_EQ(Accepted({"--pages", "64"}).maxPages, 64);
  EXPECT_EQ(Accepted({"--sdf-spread", "32"}).sdfSpread, 32);
  EXPECT_EQ(Accepted({"--bold"}).bold, true);
  EXPECT_EQ(Accepted({"--no-italic"}).italic, false);
}

TEST(CliOptions, ExportsKeepTheirOrderAndOutputAndPluginsAreTaken) {
  const CliOptions o = Accepted({"-e", "BMFont text", "--export", "PNG image", "-e", "BMFont text", "-o", "out/font",
                                 "--plugins", "/opt/p", "-q", "-f", "--save-project", "saved"});
  EXPECT_EQ(o.exports, (std::vector<std::string>{"BMFont text", "PNG image", "BMFont text"}));
  EXPECT_EQ(o.output, "out/font");
  EXPECT_EQ(o.pluginsDir, "/opt/p");
  EXPECT_TRUE(o.quiet);
  EXPECT_TRUE(o.force);
  EXPECT_EQ(o.saveProject, "saved");
}

TEST(CliOptions, FallbackFontsAndFamiliesKeepTheOrderTheyWereGivenIn) {
  const CliOptions o =
      Accepted({"--fallback-family", "Noto Sans CJK SC", "--size", "20", "--fallback-font", "fonts/symbols.ttf",
                "--fallback-family", "Droid Sans Fallback", "--fallback-font", "/abs/emoji.ttf"});
  ASSERT_TRUE(o.fallbacks);
  EXPECT_EQ(*o.fallbacks, (std::vector<FallbackFont>{{kFallbackFamily, 0, "Noto Sans CJK SC"},
                                                     {kFallbackFile, 0, "fonts/symbols.ttf"},
                                                     {kFallbackFamily, 0, "Droid Sans Fallback"},
                                                     {kFallbackFile, 0, "/abs/emoji.ttf"}}));
  EXPECT_FALSE(Accepted({}).fallbacks) << "without them the project's list stays";
  ExpectUsageError({"--fallback-font", ""}, "--fallback-font needs a path");
  ExpectUsageError({"--fallback-family", ""}, "--fallback-family needs a name");
  std::vector<std::string> many;
  for (std::size_t i = 0; i <= kMaxFallbackFonts; ++i) {
    many.push_back("--fallback-family");
    many.push_back("Family " + std::to_string(i));
  }
  ExpectUsageError(many, "fallback fonts");
}

TEST(CliOptions, ListingsAndHelp) {
  EXPECT_TRUE(Accepted({"--list-plugins"}).listPlugins);
  EXPECT_TRUE(Accepted({"--list-fonts"}).listFonts);
  const CliParse help = Parse({"--help"});
  EXPECT_EQ(help.kind, CliParse::Kind::Help);
  for (const char* option : {"--font", "--chars-from", "--export", "--output", "--force", "--plugins"})
    EXPECT_NE(help.text.find(option), std::string::npos) << option;
}

TEST(CliOptions, BadValuesAreUsageErrors) {
  ExpectUsageError({"--size", "121"}, "121");
  ExpectUsageError({"--size", "-1"});
  ExpectUsageError({"--size", "12pt"});
  ExpectUsageError({"--aa", "subpixel"}, "smooth, cleartype, none, sdf");
  ExpectUsageError({"--sdf-spread", "1"}, "from 2 to 32");
  ExpectUsageError({"--sdf-spread", "33"}, "33");
  ExpectUsageError({"--pages", "0"}, "from 1 to 64");
  ExpectUsageError({"--pages", "65"}, "65");
  ExpectUsageError({"--sdf-spread", "eight"});
  ExpectUsageError({"--origin", "center"}, "center");
  ExpectUsageError({"--texture", "256"}, "WIDTHxHEIGHT");
  ExpectUsageError({"--texture", "0x256"});
  ExpectUsageError({"--texture", "256x16385"});
  ExpectUsageError({"--texture", "x"});
  ExpectUsageError({"--chars", "126-32"}, "126-32");
  ExpectUsageError({"--outline", "0"});
  ExpectUsageError({"--outline", "21"});
  ExpectUsageError({"--font", ""});
  ExpectUsageError({"-e", ""});
}

TEST(CliOptions, MalformedCommandLinesAreUsageErrors) {
  ExpectUsageError({"--no-such-option"});
  ExpectUsageError({"--size"});
  ExpectUsageError({"a.gmp", "b.gmp"});
  ExpectUsageError({"--bold", "--no-bold"});
  ExpectUsageError({"--shadow", "--no-shadow"});
  ExpectUsageError({"--outline", "2", "--no-outline"});
}

TEST(CliOptions, ValueParsers) {
  std::string error;
  uint16_t w = 0, h = 0;
  EXPECT_TRUE(ParseTextureSize("1x16384", &w, &h, &error));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 16384);
  EXPECT_TRUE(ParseTextureSize("128X64", &w, &h, &error));
  EXPECT_EQ(h, 64);
  EXPECT_FALSE(ParseTextureSize("128x", &w, &h, &error));
  EXPECT_FALSE(ParseTextureSize("4294967424x128", &w, &h, &error));  // 2^32 + 128 must not wrap
  EXPECT_EQ(ParseBoundedNumber("0", 0, 5, "n", &error), 0u);
  EXPECT_FALSE(ParseBoundedNumber("", 0, 5, "n", &error));
  EXPECT_FALSE(ParseBoundedNumber(" 1", 0, 5, "n", &error));
}

TEST(CliOptions, CellModeAndFittedTexture) {
  const CliOptions none = Accepted({});
  EXPECT_FALSE(none.cellMode);
  EXPECT_FALSE(none.textureAuto);
  EXPECT_FALSE(none.textureMaxWidth);

  EXPECT_EQ(Accepted({"--cells", "compact"}).cellMode, kCellsCompact);
  EXPECT_EQ(Accepted({"--cells", "line"}).cellMode, kCellsLine);
  ExpectUsageError({"--cells", "tight"}, "cell mode \"tight\"");

  EXPECT_FALSE(none.pagePixels);
  EXPECT_EQ(Accepted({"--page-pixels", "classic"}).pagePixels, kPagePixelsClassic);
  EXPECT_EQ(Accepted({"--page-pixels", "straight"}).pagePixels, kPagePixelsStraight);
  EXPECT_EQ(Accepted({"--page-pixels", "premultiplied"}).pagePixels, kPagePixelsPremultiplied);
  ExpectUsageError({"--page-pixels", "bled"}, "page pixels \"bled\"");

  const CliOptions autoSize = Accepted({"--texture", "auto"});
  EXPECT_TRUE(autoSize.textureAuto);
  EXPECT_FALSE(autoSize.textureWidth);

  const CliOptions capped = Accepted({"--texture", "auto", "--texture-max", "1024x512"});
  EXPECT_TRUE(capped.textureAuto);
  EXPECT_EQ(capped.textureMaxWidth, 1024);
  EXPECT_EQ(capped.textureMaxHeight, 512);
  EXPECT_TRUE(Accepted({"--texture-max", "256x256"}).textureAuto);  // a maximum means fitting

  ExpectUsageError({"--texture", "256x256", "--texture-max", "512x512"}, "--texture-max");
  ExpectUsageError({"--texture-max", "0x512"}, "texture width");
  ExpectUsageError({"--texture-max", "16385x16"});
  ExpectUsageError({"--texture", "automatic"}, "WIDTHxHEIGHT");
}

}  // namespace
}  // namespace glyphmill::cli
