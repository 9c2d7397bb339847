#include "cli/char_ranges.h"

#include <cstdint>
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
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v < base ? v : -1;
}

// One code unit number; nullopt (with a message) when it is not a number in 0..65535.
std::optional<uint16_t> ParseCodeUnit(std::string_view text, std::string* error) {
  const std::string_view original = Trim(text);
  std::string_view digits = original;
  int base = 10;
  if (digits.size() > 2 && (digits.substr(0, 2) == "0x" || digits.substr(0, 2) == "0X" || digits.substr(0, 2) == "U+" ||
                            digits.substr(0, 2) == "u+")) {
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

}  // namespace glyphmill::cli
