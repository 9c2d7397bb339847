#include "app/settings_ranges.h"

#include <algorithm>

namespace glyphmill {
namespace {

template <typename T>
void Limit(std::vector<LimitedField>& changed, const char* name, T& field, int64_t low, int64_t high) {
  const int64_t was = static_cast<int64_t>(field);
  const int64_t now = std::clamp(was, low, high);
  if (now == was) return;
  field = static_cast<T>(now);
  changed.push_back({name, was, now});
}

}  // namespace

std::vector<LimitedField> LimitToOfferedRanges(GenerationSettings& s) {
  std::vector<LimitedField> changed;
  Limit(changed, "fontSize", s.fontSize, 0, 120);
  Limit(changed, "packOrigin", s.packOrigin, kOriginTopLeft, kOriginMiddle);
  Limit(changed, "verticalPad", s.verticalPad, -100, 100);
  Limit(changed, "leading", s.leading, -100, 100);
  Limit(changed, "trailing", s.trailing, -100, 100);
  Limit(changed, "kerning", s.kerning, -1000, 1000);
  Limit(changed, "generalPadding", s.generalPadding, -100, 100);
  Limit(changed, "outlineHardness", s.outlineHardness, -10, 10);
  Limit(changed, "outlineOpacity", s.outlineOpacity, 0, 100);
  Limit(changed, "antialiasMode", s.antialiasMode, kAntialiasSmooth, kLastAntialiasMode);
  Limit(changed, "outlineWidth", s.outlineWidth, 1, 20);
  Limit(changed, "shadowSmoothing", s.shadowSmoothing, 0, 10);
  Limit(changed, "shadowOffset", s.shadowOffset, 0, 50);
  Limit(changed, "shadowOpacity", s.shadowOpacity, 0, 100);
  return changed;
}

std::optional<std::string> LimitedFieldsNotice(const std::vector<LimitedField>& fields) {
  if (fields.empty()) return std::nullopt;
  std::string text = "!Project values out of range were limited: ";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text += ", ";
    text += fields[i].name + " " + std::to_string(fields[i].was) + " -> " + std::to_string(fields[i].now);
  }
  return text;
}

}  // namespace glyphmill
