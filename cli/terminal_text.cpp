#include "cli/terminal_text.h"

#include <cstdio>

namespace glyphmill::cli {

std::string EscapeControls(std::string_view text, bool lineBreaks) {
  std::string out;
  out.reserve(text.size());
  char code[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (lineBreaks && (c == '\r' || c == '\n')) {
      out += '\n';
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned char>(text[i + 1]));
      out += code;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace glyphmill::cli
