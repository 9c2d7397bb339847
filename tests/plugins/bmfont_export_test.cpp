// The three BMFont exporters, run through their entry points with the host's font information
// offered, and read back with independent readers of each form.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "tests/plugins/plugin_test_support.h"
#include "tests/plugins/test_font_info_host.h"

namespace glyphmill::plugintest {
namespace {

struct BmFontForm {
  const char* library;
  BmFont (*read)(const std::string& path);
};

BmFont ReadTextForm(const std::string& path) { return ParseBmFontText(ReadText(path)); }
BmFont ReadXmlForm(const std::string& path) { return ParseBmFontXml(ReadText(path)); }
BmFont ReadBinaryForm(const std::string& path) { return ParseBmFontBinary(ReadBytes(path)); }

const BmFontForm kForms[] = {
    {"bmfont_text.so", ReadTextForm},
    {"bmfont_xml.so", ReadXmlForm},
    {"bmfont_binary.so", ReadBinaryForm},
};

constexpr int32_t kSpaceAdvance = 5;
constexpr uint32_t kCellHeight = 20;
constexpr std::size_t kCount = 60;
constexpr std::size_t kFirstUnplaced = 57;  // the last three records found no room

// A 256 x 128 texture with 60 cells of 20 pixels height; the host says the last three did not fit
// (their records sit at 0, 0 as the host leaves them) and offers kerning pairs.
class BmFontExport : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t i = kFirstUnplaced; i < kCount; ++i) chars[i].X = chars[i].Y = 0;
    host.face = "DejaVu Sans";
    host.placed.assign(kCount, 1);
    for (std::size_t i = kFirstUnplaced; i < kCount; ++i) host.placed[i] = 0;
    host.kernings = {
        {32, 33, -1},               // space to '!': both listed, kept
        {33, 34, -2}, {33, 35, 0},  // no effect: left out
        {36, 33, 3},  {40, 90, 1},  // 90 = 'Z' found no room: left out
    };
    auto& r = host.record;
    r.struct_size = sizeof(GlyphmillFontInfoV1);
    r.point_size = 12;
    r.pixel_size = 16;
    r.line_height = static_cast<int32_t>(kCellHeight);
    r.base = 17;
    r.ascent = 15;
    r.descent = 4;
    r.outline_width = 0;
    r.bold = 1;
    r.italic = 0;
    r.antialias_mode = 0;
    OfferFontInfo(host.bind());
  }
  void TearDown() override { OfferFontInfo(nullptr); }

  TSimpleExportInfo Record(const std::string& path) const {
    TSimpleExportInfo r{};
    r.FileName = path.c_str();
    r.Width = texture.width;
    r.Height = texture.height;
    r.RGB = texture.bgr.data();
    r.Alpha = texture.alpha.data();
    r.CharCount = static_cast<uint32_t>(chars.size());
    r.SpaceAdvance = kSpaceAdvance;
    r.Chars = chars.empty() ? nullptr : chars.data();
    return r;
  }

  BmFont Export(const BmFontForm& form, const std::string& path) const {
    LoadedPlugin(form.library).simpleExport(Record(path));
    return form.read(path);
  }

  // The space first, then every placed record in table order.
  std::vector<BmChar> ExpectedChars() const {
    std::vector<BmChar> out{{32, 0, 0, 0, 0, 0, 0, kSpaceAdvance, 0, 15}};
    for (std::size_t i = 0; i < chars.size(); ++i) {
      if (host.placed.size() == chars.size() && host.placed[i] == 0) continue;
      const TExportCharInfo& c = chars[i];
      out.push_back({c.Code, c.X, c.Y, c.Width, c.Height, c.PreAdvance, 0, c.PreAdvance + c.PostAdvance, 0, 15});
    }
    return out;
  }

  TestTexture texture = MakeTexture(256, 128);
  std::vector<TExportCharInfo> chars = MakeCharTable(kCount, 256, 16, kCellHeight);
  TestFontInfo host;
  ScratchFolder dir;
};

TEST_F(BmFontExport, AllThreeFormsDescribeTheSameFont) {
  std::vector<BmFont> fonts;
  for (const BmFontForm& form : kForms) {
    ScratchFolder own;
    fonts.push_back(Export(form, own.file("font.fnt")));
  }
  for (std::size_t f = 1; f < fonts.size(); ++f) {
    SCOPED_TRACE(kForms[f].library);
    const BmFont& a = fonts[0];
    const BmFont& b = fonts[f];
    EXPECT_EQ(b.face, a.face);
    EXPECT_EQ(std::tie(b.size, b.bold, b.italic, b.unicode, b.smooth, b.outline),
              std::tie(a.size, a.bold, a.italic, a.unicode, a.smooth, a.outline));
    EXPECT_EQ(std::tie(b.lineHeight, b.base, b.scaleW, b.scaleH, b.pages, b.packed),
              std::tie(a.lineHeight, a.base, a.scaleW, a.scaleH, a.pages, a.packed));
    EXPECT_EQ(std::tie(b.alphaChnl, b.redChnl, b.greenChnl, b.blueChnl),
              std::tie(a.alphaChnl, a.redChnl, a.greenChnl, a.blueChnl));
    EXPECT_EQ(b.pageFiles, a.pageFiles);
    EXPECT_EQ(b.chars, a.chars);
    EXPECT_EQ(b.kernings, a.kernings);
  }
}

class EachBmFontForm : public BmFontExport, public ::testing::WithParamInterface<BmFontForm> {};

TEST_P(EachBmFontForm, ListsTheSpaceAndEveryPlacedCellWithItsAdvances) {
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.chars, ExpectedChars());
  if (font.declaredChars >= 0) {
    EXPECT_EQ(font.declaredChars, static_cast<int64_t>(font.chars.size()));
  }
  // Every rectangle lies inside the page.
  for (const BmChar& c : font.chars) {
    EXPECT_GE(c.x, 0);
    EXPECT_GE(c.y, 0);
    EXPECT_LE(c.x + c.width, font.scaleW) << c.id;
    EXPECT_LE(c.y + c.height, font.scaleH) << c.id;
  }
}

TEST_P(EachBmFontForm, StatesTheFontAsTheHostDescribesIt) {
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.face, "DejaVu Sans");
  EXPECT_EQ(font.size, 16);  // BMFont's size is the em size in pixels
  EXPECT_EQ(font.bold, 1);
  EXPECT_EQ(font.italic, 0);
  EXPECT_EQ(font.unicode, 1);
  EXPECT_EQ(font.smooth, 1);
  EXPECT_EQ(font.outline, 0);
  EXPECT_EQ(font.lineHeight, 20);
  EXPECT_EQ(font.base, 17);
  EXPECT_EQ(font.scaleW, 256);
  EXPECT_EQ(font.scaleH, 128);
  EXPECT_EQ(font.pages, 1);
  EXPECT_EQ(font.alphaChnl, 0);
  EXPECT_GT(HostQueryCalls(), 0);
  // A host of version 1 only: version 2 is asked first, then version 1.
  EXPECT_EQ(LastQueriedExtension(), GLYPHMILL_EXT_FONT_INFO_V1);
}

TEST_P(EachBmFontForm, OutlineAndUnsmoothedFontsAreStated) {
  host.record.outline_width = 2;
  host.record.antialias_mode = 2;
  host.record.italic = 1;
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.outline, 2);
  EXPECT_EQ(font.smooth, 0);
  EXPECT_EQ(font.italic, 1);
  EXPECT_EQ(font.alphaChnl, 2);  // glyph and outline
}

TEST_P(EachBmFontForm, WritesNonzeroKerningsBetweenListedCharactersInOrder) {
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.kernings, (std::vector<BmKerning>{{32, 33, -1}, {33, 34, -2}, {36, 33, 3}}));
  if (font.declaredKernings >= 0) {
    EXPECT_EQ(font.declaredKernings, 3);
  }
}

TEST_P(EachBmFontForm, NamesItsRgbaPageBesideTheDescriptor) {
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  ASSERT_EQ(font.pageFiles, std::vector<std::string>{"font_0.png"});
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"font.fnt", "font_0.png"}));
  const DecodedImage page = ReadPng(dir.file(font.pageFiles[0]));
  EXPECT_EQ(page.width, static_cast<uint32_t>(font.scaleW));
  EXPECT_EQ(page.height, static_cast<uint32_t>(font.scaleH));
  ASSERT_EQ(page.channels, 4);
  EXPECT_EQ(page.pixels, ExpectedRgba(texture));
}

TEST_P(EachBmFontForm, SameInputGivesTheSameBytes) {
  ScratchFolder other;
  Export(GetParam(), dir.file("font.fnt"));
  Export(GetParam(), other.file("font.fnt"));
  EXPECT_EQ(ReadBytes(dir.file("font.fnt")), ReadBytes(other.file("font.fnt")));
  EXPECT_EQ(ReadBytes(dir.file("font_0.png")), ReadBytes(other.file("font_0.png")));
}

TEST_P(EachBmFontForm, ASelectedSpaceIsListedOnceWithoutACell) {
  chars[0].Code = 32;  // the table's first record is the space, with a cell of its own
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  ASSERT_FALSE(font.chars.empty());
  EXPECT_EQ(font.chars[0], (BmChar{32, 0, 0, 0, 0, 0, 0, kSpaceAdvance, 0, 15}));
  EXPECT_EQ(std::count_if(font.chars.begin(), font.chars.end(), [](const BmChar& c) { return c.id == 32; }), 1);
}

TEST_P(EachBmFontForm, WithNoCharactersOnlyTheSpaceIsListed) {
  chars.clear();
  host.placed.clear();
  host.kernings.clear();
  host.bind();
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.chars, (std::vector<BmChar>{{32, 0, 0, 0, 0, 0, 0, kSpaceAdvance, 0, 15}}));
  EXPECT_TRUE(font.kernings.empty());
}

TEST_P(EachBmFontForm, WithoutFontInformationFallsBackToTheRecords) {
  OfferFontInfo(nullptr);
  host.placed.clear();  // only the host could say which records were placed
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.face, "");
  EXPECT_EQ(font.size, 20);
  EXPECT_EQ(font.lineHeight, 20);
  EXPECT_EQ(font.base, 20);
  EXPECT_EQ(font.bold, 0);
  EXPECT_EQ(font.chars, ExpectedChars());
  EXPECT_EQ(font.chars.size(), kCount + 1);
  EXPECT_TRUE(font.kernings.empty());
  EXPECT_EQ(font.declaredKernings, -1);  // no kernings block at all
}

TEST_P(EachBmFontForm, APlacedListForAnotherTableIsNotApplied) {
  host.record.char_count = kCount - 1;
  const BmFont font = Export(GetParam(), dir.file("font.fnt"));
  EXPECT_EQ(font.chars.size(), kCount + 1);
  EXPECT_EQ(font.face, "DejaVu Sans");
}

INSTANTIATE_TEST_SUITE_P(Forms, EachBmFontForm, ::testing::ValuesIn(kForms), [](const auto& p) {
  const std::string file = p.param.library;
  return file.substr(0, file.find('.'));
});

TEST_F(BmFontExport, TextFormWritesBmFontsLinesAndFieldsInBmFontsOrder) {
  const std::string path = dir.file("font.fnt");
  LoadedPlugin("bmfont_text.so").simpleExport(Record(path));
  const auto lines = SplitBmFontText(ReadText(path));
  const std::map<std::string, std::vector<std::string>> order = {
      {"info",
       {"face", "size", "bold", "italic", "charset", "unicode", "stretchH", "smooth", "aa", "padding", "spacing",
        "outline"}},
      {"common",
       {"lineHeight", "base", "scaleW", "scaleH", "pages", "packed", "alphaChnl", "redChnl", "greenChnl", "blueChnl"}},
      {"page", {"id", "file"}},
      {"chars", {"count"}},
      {"char", {"id", "x", "y", "width", "height", "xoffset", "yoffset", "xadvance", "page", "chnl"}},
      {"kernings", {"count"}},
      {"kerning", {"first", "second", "amount"}},
  };
  std::vector<std::string> tags;
  for (const TextLine& line : lines) {
    if (tags.empty() || tags.back() != line.tag) tags.push_back(line.tag);
    auto it = order.find(line.tag);
    ASSERT_NE(it, order.end()) << line.tag;
    std::vector<std::string> keys;
    for (const auto& field : line.fields) keys.push_back(field.first);
    EXPECT_EQ(keys, it->second) << line.tag;
  }
  EXPECT_EQ(tags, (std::vector<std::string>{"info", "common", "page", "chars", "char", "kernings", "kerning"}));
  // The two fields BMFont quotes, and only those, are quoted.
  const std::string text = ReadText(path);
  EXPECT_NE(text.find("info face=\"DejaVu Sans\" size=16 "), std::string::npos);
  EXPECT_NE(text.find(" charset=\"\" "), std::string::npos);
  EXPECT_NE(text.find("page id=0 file=\"font_0.png\"\n"), std::string::npos);
  EXPECT_NE(text.find(" padding=0,0,0,0 spacing=0,0 "), std::string::npos);
}

TEST_F(BmFontExport, FaceNamesWithMarkupCharactersSurviveEachForm) {
  host.face = "Tom \"&\" <Sans>";
  host.bind();
  EXPECT_EQ(Export(kForms[1], dir.file("x.fnt")).face, "Tom \"&\" <Sans>");
  EXPECT_EQ(Export(kForms[2], dir.file("b.fnt")).face, "Tom \"&\" <Sans>");
  // The text form has no escape: a quote would end the field early, so it becomes an apostrophe.
  EXPECT_EQ(Export(kForms[0], dir.file("t.fnt")).face, "Tom '&' <Sans>");
}

TEST_F(BmFontExport, BinaryFormRefusesValuesItsFieldsCannotHoldAndWritesNothing) {
  chars[5].PreAdvance = 40000;  // xoffset is a signed 16-bit field
  const std::string path = dir.file("font.fnt");
  try {
    LoadedPlugin("bmfont_binary.so").simpleExport(Record(path));
    FAIL() << "expected an error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("40000"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace glyphmill::plugintest
