#include "plugins/bmfont_xml/bmfont_xml_format.h"

#include <string_view>

namespace glyphmill::plugins {
namespace {

// Attribute text with the five XML specials escaped; control characters (not allowed in XML 1.0
// apart from white space) become spaces.
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
  return out;
}

class Element {
 public:
  Element(std::string& out, int indent, const char* name) : out_(out) {
    out_.append(static_cast<std::size_t>(indent) * 2, ' ');
    out_ += '<';
    out_ += name;
  }
  template <typename T>
  Element& attr(const char* name, T value) {
    return text(name, std::to_string(value));
  }
  Element& text(const char* name, std::string_view value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += Escaped(value);
    out_ += '"';
    return *this;
  }
  void close() { out_ += "/>\n"; }
  void open() { out_ += ">\n"; }

 private:
  std::string& out_;
};

void EndElement(std::string& out, int indent, const char* name) {
  out.append(static_cast<std::size_t>(indent) * 2, ' ');
  out += "</";
  out += name;
  out += ">\n";
}

std::string Joined(const int32_t* values, std::size_t count) {
  std::string s;
  for (std::size_t n = 0; n < count; ++n) {
    if (n > 0) s += ',';
    s += std::to_string(values[n]);
  }
  return s;
}

}  // namespace

std::string FormatBmFontXml(const BmFontDescription& font) {
  const BmFontInfo& i = font.info;
  const BmFontCommon& c = font.common;
  std::string out = "<?xml version=\"1.0\"?>\n<font>\n";
  Element(out, 1, "info")
      .text("face", i.face)
      .attr("size", i.size)
      .attr("bold", i.bold ? 1 : 0)
      .attr("italic", i.italic ? 1 : 0)
      .text("charset", i.charset)
      .attr("unicode", i.unicode ? 1 : 0)
      .attr("stretchH", i.stretchH)
      .attr("smooth", i.smooth ? 1 : 0)
      .attr("aa", i.aa)
      .text("padding", Joined(i.padding.data(), i.padding.size()))
      .text("spacing", Joined(i.spacing.data(), i.spacing.size()))
      .attr("outline", i.outline)
      .close();
  Element(out, 1, "common")
      .attr("lineHeight", c.lineHeight)
      .attr("base", c.base)
      .attr("scaleW", c.scaleW)
      .attr("scaleH", c.scaleH)
      .attr("pages", c.pages)
      .attr("packed", c.packed ? 1 : 0)
      .attr("alphaChnl", c.alphaChnl)
      .attr("redChnl", c.redChnl)
      .attr("greenChnl", c.greenChnl)
      .attr("blueChnl", c.blueChnl)
      .close();
  if (font.distanceRange > 0)
    Element(out, 1, "distanceField")
        .text("fieldType", font.fieldType)
        .attr("distanceRange", font.distanceRange)
        .close();
  Element(out, 1, "pages").open();
  for (std::size_t k = 0; k < font.pageFiles.size(); ++k)
    Element(out, 2, "page").attr("id", static_cast<int64_t>(k)).text("file", font.pageFiles[k]).close();
  EndElement(out, 1, "pages");
  Element(out, 1, "chars").attr("count", font.chars.size()).open();
  for (const BmFontChar& ch : font.chars) {
    Element(out, 2, "char")
        .attr("id", ch.id)
        .attr("x", ch.x)
        .attr("y", ch.y)
        .attr("width", ch.width)
        .attr("height", ch.height)
        .attr("xoffset", ch.xoffset)
        .attr("yoffset", ch.yoffset)
        .attr("xadvance", ch.xadvance)
        .attr("page", ch.page)
        .attr("chnl", ch.chnl)
        .close();
  }
  EndElement(out, 1, "chars");
  if (!font.kernings.empty()) {
    Element(out, 1, "kernings").attr("count", font.kernings.size()).open();
    for (const KerningPair& k : font.kernings) {
      Element(out, 2, "kerning").attr("first", k.first).attr("second", k.second).attr("amount", k.amount).close();
    }
    EndElement(out, 1, "kernings");
  }
  out += "</font>\n";
  return out;
}

}  // namespace glyphmill::plugins
