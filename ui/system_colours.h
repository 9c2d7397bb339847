// Colour references on screen: 0x00BBGGRR plain colours and 0xFF0000nn system colours, the latter
// resolved through the Qt palette of the running style.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

#include "render/image24.h"

namespace glyphmill {

// True for a 0xFF0000nn reference.
bool IsSystemColourRef(uint32_t colour);

// The colour a reference stands for now: system colour nn through the palette role that plays its
// part (15, button face, is QPalette::Button); an unknown system colour is black.
QColor ResolveColourRef(uint32_t colour, const QPalette& palette);
// The same as image channels.
Bgr ResolveColourRefBgr(uint32_t colour, const QPalette& palette);

// A plain reference from a colour (the colour dialog's answer).
uint32_t ColourRefFromQColor(const QColor& colour);

}  // namespace glyphmill
