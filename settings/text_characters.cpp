#include "settings/text_characters.h"

#include <sys/stat.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace glyphmill {

namespace {

constexpr uint32_t kInvalid = 0xFFFFFFFFu;

bool IsControl(uint32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }
bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Collects code points: flags for the 65,536 code units and the first-seen list of the rest.
class Collector {
 public:
  void add(uint32_t c) {
    if (IsControl(c)) return;
    if (c <= 0xFFFF) {
      seen_[c] = 1;
    } else if (std::find(result_.notRepresentable.begin(), result_.notRepresentable.end(), c) ==
               result_.notRepresentable.end()) {
      result_.notRepresentable.push_back(c);
    }
  }
  TextCharacters finish() {
    for (uint32_t u = 0; u < seen_.size(); ++u)
      if (seen_[u]) result_.codeUnits.push_back(static_cast<uint16_t>(u));
    return std::move(result_);
  }

 private:
  std::array<uint8_t, 65536> seen_{};
  TextCharacters result_;
};

// One UTF-8 sequence at `pos`; advances `pos` past it, or by one byte when it is invalid.
uint32_t NextUtf8(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = 0;
  uint32_t c = 0, minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;  // a continuation byte without a lead, or a lead that is never valid
    return kInvalid;
  }
  if (pos + static_cast<std::size_t>(length) > s.size()) {
    ++pos;
    return kInvalid;
  }
  for (int i = 1; i < length; ++i) {
    const uint8_t next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++pos;  // the byte that broke the sequence may start the next one
      return kInvalid;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || IsSurrogate(c)) {
    ++pos;
    return kInvalid;
  }
  pos += static_cast<std::size_t>(length);
  return c;
}

void DecodeUtf8(std::string_view s, Collector& out) {
  std::size_t pos = 0;
  if (s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos < s.size()) {
    const uint32_t c = NextUtf8(s, pos);
    if (c != kInvalid) out.add(c);
  }
}

void DecodeUtf16(std::string_view s, bool bigEndian, Collector& out) {
  const auto unitAt = [&](std::size_t i) {
    const auto a = static_cast<uint8_t>(s[i]), b = static_cast<uint8_t>(s[i + 1]);
    return static_cast<uint16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  const std::size_t units = s.size() / 2;    // a trailing odd byte is no character
  for (std::size_t i = 1; i < units; ++i) {  // unit 0 is the byte-order mark
    const uint16_t u = unitAt(2 * i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < units) {
        const uint16_t low = unitAt(2 * (i + 1));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          out.add(0x10000u + ((static_cast<uint32_t>(u - 0xD800) << 10) | (low - 0xDC00u)));
          ++i;
        }
      }
      continue;  // an unpaired high surrogate is skipped
    }
    if (u >= 0xDC00 && u <= 0xDFFF) continue;  // an unpaired low surrogate
    out.add(u);
  }
}

}  // namespace

TextCharacters DecodeTextCharacters(std::string_view bytes) {
  Collector out;
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE")
    DecodeUtf16(bytes, false, out);
  else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF")
    DecodeUtf16(bytes, true, out);
  else
    DecodeUtf8(bytes, out);
  return out.finish();
}

std::optional<std::string> ReadTextFileBounded(const std::string& path, std::size_t maxBytes, std::string* error) {
  const auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = why;
    return std::nullopt;
  };
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return fail("cannot open \"" + path + "\": " + std::strerror(errno));
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return fail("\"" + path + "\" is a folder, not a text file");
  }
  if (info.st_size > 0 && static_cast<unsigned long long>(info.st_size) > maxBytes) {
    std::fclose(file);
    return fail("\"" + path + "\" is larger than " + std::to_string(maxBytes) + " bytes");
  }
  std::string text;
  std::array<char, 64 * 1024> piece{};
  for (;;) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), file);
    if (got == 0) break;
    if (text.size() + got > maxBytes) {
      std::fclose(file);
      return fail("\"" + path + "\" is larger than " + std::to_string(maxBytes) + " bytes");
    }
    text.append(piece.data(), got);
  }
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return fail("cannot read \"" + path + "\"");
  return text;
}

std::string CodePointNotation(uint32_t codePoint) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", codePoint);
  return buffer;
}

}  // namespace glyphmill
