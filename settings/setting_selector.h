// SettingSelector: which setting the window reads from its controls into the record (ReadSetting).
// The numbers are the classic selectors 0 to 22, in the record's field order as the window reads
// them, and 23 to 28 for the settings beyond the record; undo groups a burst of changes by them.
#pragma once

namespace glyphmill {

enum class SettingSelector : int {
  None = -1,  // no one setting: only the change notification
  FontName = 0,
  FontSize = 1,
  Bold = 2,
  Italic = 3,
  TextColour = 4,
  BackColour = 5,
  VerticalPad = 6,
  Leading = 7,
  Trailing = 8,
  Kerning = 9,
  TextureSize = 10,  // "Apply": the two size boxes
  Antialias = 11,
  Outline = 12,
  OutlineWidth = 13,
  OutlineColour = 14,
  OutlineHardness = 15,
  DropShadow = 16,
  ShadowSmoothing = 17,
  ShadowOffset = 18,
  ShadowOpacity = 19,
  GeneralPadding = 20,
  PackOrigin = 21,
  OutlineOpacity = 22,
  CompactCells = 23,
  FitTexture = 24,  // the switch and its two largest-size boxes
  SdfSpread = 25,
  PagePixels = 26,
  MaxPages = 27,       // "Pages:", the most texture pages a generation may fill
  FallbackFonts = 28,  // the fallback list, edited as a whole
};

inline constexpr SettingSelector kFirstSettingSelector = SettingSelector::FontName;
inline constexpr SettingSelector kLastSettingSelector = SettingSelector::FallbackFonts;

// Selectors whose every change is an undo step of its own rather than part of a burst: each
// colour chosen from the three swatches, and each edit of the fallback list (a button press).
constexpr bool IsStepOfItsOwn(SettingSelector selector) {
  return selector == SettingSelector::TextColour || selector == SettingSelector::BackColour ||
         selector == SettingSelector::OutlineColour || selector == SettingSelector::FallbackFonts;
}

}  // namespace glyphmill
