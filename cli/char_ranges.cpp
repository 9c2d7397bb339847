#include "cli/char_ranges.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace glyphmill::cli {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// One code unit number; nullopt (with a message) when it is not a number in 0..65535.
std::optional<uint16_t> ParseCodeUnit(std::string_view text, std::string* error) {
  const std::string_view original = Trim(text);
  std::string_view digits = original;
  int base = 10;
  if (digits.size() > 2 && (digits.substr(0, 2) == "0x" || digits.substr(0, 2) == "0X" ||
                            digits.substr(0, 2) == "U+" || digits.substr(0, 2) == "u+")) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) {
    *error = "missing number in \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  uint32_t value = 0;
  for (char c : digits) {
    const int d = DigitValue(c, base);
    if (d < 0) {
      *error = "\"" + std::string(original) + "\" is not a number";
      return std::nullopt;
    }
    value = value * base + d;
    if (value > 0xFFFF) {
      *error = "\"" + std::string(original) + "\" is beyond 65535 (0xFFFF)";
      return std::nullopt;
    }
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

bool MarkCharRanges(std::string_view ranges, CharacterSelection& selection, std::string* error) {
  std::vector<std::pair<uint16_t, uint16_t>> parsed;
  std::string message;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = ranges.find(',', start);
    const std::string_view item = Trim(ranges.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (item.empty()) {
      *error = "empty item in character ranges \"" + std::string(ranges) + "\"";
      return false;
    }
    // The dash that separates a range; a leading one would be a sign, which no code unit has.
    const std::size_t dash = item.find('-');
    std::optional<uint16_t> first, last;
    if (dash == std::string_view::npos) {
      first = last = ParseCodeUnit(item, &message);
    } else {
      first = ParseCodeUnit(item.substr(0, dash), &message);
      if (first) last = ParseCodeUnit(item.substr(dash + 1), &message);
    }
    if (!first || !last) {
      *error = "bad character range \"" + std::string(item) + "\": " + message;
      return false;
    }
    if (*first > *last) {
      *error = "bad character range \"" + std::string(item) + "\": it ends before it starts";
      return false;
    }
    parsed.emplace_back(*first, *last);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  for (auto [first, last] : parsed)
    for (uint32_t u = first; u <= last; ++u) selection[u] = 1;
  return true;
}

bool MarkUtf8CodeUnits(std::string_view utf8, CharacterSelection& selection, std::string* error) {
  std::vector<uint16_t> units;
  std::size_t i = 0;
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  while (i < utf8.size()) {
    const std::size_t at = i;
    const uint8_t lead = static_cast<uint8_t>(utf8[i++]);
    uint32_t cp = 0;
    int follow = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F, follow = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F, follow = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07, follow = 3, minimum = 0x10000;
    } else {
      *error = "malformed UTF-8 at byte " + std::to_string(at);
      return false;
    }
    for (int k = 0; k < follow; ++k) {
      if (i >= utf8.size() || (static_cast<uint8_t>(utf8[i]) & 0xC0) != 0x80) {
        *error = "malformed UTF-8 at byte " + std::to_string(at);
        return false;
      }
      cp = (cp << 6) | (static_cast<uint8_t>(utf8[i++]) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      *error = "malformed UTF-8 at byte " + std::to_string(at);
      return false;
    }
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      units.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<uint16_t>(cp));
    }
  }
  for (uint16_t u : units) selection[u] = 1;
  return true;
}

bool MarkFileCodeUnits(const std::string& path, CharacterSelection& selection, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    *error = "cannot read \"" + path + "\": it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = "cannot read \"" + path + "\"";
    return false;
  }
  std::string message;
  if (!MarkUtf8CodeUnits(text, selection, &message)) {
    *error = "\"" + path + "\": " + message;
    return false;
  }
  return true;
}

}  // namespace glyphmill::cli
