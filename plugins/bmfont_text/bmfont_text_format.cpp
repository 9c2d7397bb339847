#include "plugins/bmfont_text/bmfont_text_format.h"

#include <cstdio>

namespace glyphmill::plugins {
namespace {

// A quoted field cannot hold a quote or a line break: BMFont has no escape for them.
std::string Quotable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c == '"')
      c = '\'';
    else if (static_cast<unsigned char>(c) < 0x20)
      c = ' ';
  }
  return out;
}

template <typename... Args>
void AppendLine(std::string& out, const char* format, Args... args) {
  char line[512];
  const int n = std::snprintf(line, sizeof line, format, args...);
  if (n > 0)
    out.append(line, static_cast<std::size_t>(n) < sizeof line ? static_cast<std::size_t>(n) : sizeof line - 1);
  out += '\n';
}

}  // namespace

std::string FormatBmFontText(const BmFontDescription& font) {
  const BmFontInfo& i = font.info;
  const BmFontCommon& c = font.common;
  std::string out;
  out += "info face=\"" + Quotable(i.face) + "\"";
  AppendLine(out,
             " size=%d bold=%d italic=%d charset=\"%s\" unicode=%d stretchH=%d smooth=%d aa=%d "
             "padding=%d,%d,%d,%d spacing=%d,%d outline=%d",
             i.size, i.bold ? 1 : 0, i.italic ? 1 : 0, Quotable(i.charset).c_str(), i.unicode ? 1 : 0, i.stretchH,
             i.smooth ? 1 : 0, i.aa, i.padding[0], i.padding[1], i.padding[2], i.padding[3], i.spacing[0], i.spacing[1],
             i.outline);
  AppendLine(out,
             "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=%d packed=%d alphaChnl=%d redChnl=%d "
             "greenChnl=%d blueChnl=%d",
             c.lineHeight, c.base, c.scaleW, c.scaleH, c.pages, c.packed ? 1 : 0, c.alphaChnl, c.redChnl, c.greenChnl,
             c.blueChnl);
  if (font.distanceRange > 0)
    AppendLine(out, "distanceField fieldType=%s distanceRange=%u", font.fieldType.c_str(), font.distanceRange);
  for (std::size_t k = 0; k < font.pageFiles.size(); ++k)
    out += "page id=" + std::to_string(k) + " file=\"" + font.pageFiles[k] + "\"\n";
  AppendLine(out, "chars count=%zu", font.chars.size());
  for (const BmFontChar& ch : font.chars) {
    AppendLine(out,
               "char id=%-4u x=%-5d y=%-5d width=%-5u height=%-5u xoffset=%-5d yoffset=%-5d xadvance=%-5d "
               "page=%-2d chnl=%d",
               ch.id, ch.x, ch.y, ch.width, ch.height, ch.xoffset, ch.yoffset, ch.xadvance, ch.page, ch.chnl);
  }
  if (!font.kernings.empty()) {
    AppendLine(out, "kernings count=%zu", font.kernings.size());
    for (const KerningPair& k : font.kernings) {
      AppendLine(out, "kerning first=%-3u second=%-3u amount=%-4d", k.first, k.second, k.amount);
    }
  }
  return out;
}

}  // namespace glyphmill::plugins
