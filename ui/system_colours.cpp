#include "ui/system_colours.h"

namespace glyphmill {

namespace {

// The system colour numbers the program meets, with the palette role that plays their part.
struct SystemColourRole {
  uint32_t index;
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

constexpr SystemColourRole kSystemColourRoles[] = {
    {0, QPalette::Active, QPalette::Mid},               // scroll bar
    {1, QPalette::Active, QPalette::Window},            // desktop
    {4, QPalette::Active, QPalette::Window},            // menu
    {5, QPalette::Active, QPalette::Base},              // window background
    {7, QPalette::Active, QPalette::WindowText},        // menu text
    {8, QPalette::Active, QPalette::Text},              // window text
    {13, QPalette::Active, QPalette::Highlight},        // highlight
    {14, QPalette::Active, QPalette::HighlightedText},  // highlighted text
    {15, QPalette::Active, QPalette::Button},           // button face
    {16, QPalette::Active, QPalette::Dark},             // button shadow
    {17, QPalette::Disabled, QPalette::Text},           // grey text
    {18, QPalette::Active, QPalette::ButtonText},       // button text
    {20, QPalette::Active, QPalette::Light},            // button highlight
    {21, QPalette::Active, QPalette::Shadow},           // dark 3D shadow
    {22, QPalette::Active, QPalette::Midlight},         // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},      // tip text
    {24, QPalette::Active, QPalette::ToolTipBase},      // tip background
};

}  // namespace

bool IsSystemColourRef(uint32_t colour) { return (colour & 0xFFFFFF00u) == 0xFF000000u; }

QColor ResolveColourRef(uint32_t colour, const QPalette& palette) {
  if (IsSystemColourRef(colour)) {
    const uint32_t index = colour & 0xFFu;
    for (const SystemColourRole& entry : kSystemColourRoles)
      if (entry.index == index) return palette.color(entry.group, entry.role);
    return QColor(0, 0, 0);
  }
  return QColor(static_cast<int>(colour & 255), static_cast<int>((colour >> 8) & 255),
                static_cast<int>((colour >> 16) & 255));
}

Bgr ResolveColourRefBgr(uint32_t colour, const QPalette& palette) {
  const QColor c = ResolveColourRef(colour, palette);
  return Bgr{static_cast<uint8_t>(c.blue()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.red())};
}

uint32_t ColourRefFromQColor(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
         (static_cast<uint32_t>(colour.blue()) << 16);
}

}  // namespace glyphmill
