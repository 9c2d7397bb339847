// Placing controls at their design coordinates without clipping their captions: the design gives
// the position and the size, but Linux's substitute fonts are wider than the design font, so a
// control whose text needs more room is given that room (wider and, where needed, higher).
#pragma once

class QWidget;

namespace glyphmill {

// The width a control needs to show its caption or value unclipped (0 when it has none).
int CaptionRoom(const QWidget* widget);

// Sets the geometry to (x, y, width, height), grown to the caption's room and, for controls with
// text, to the height their font needs.
void PlaceAt(QWidget* widget, int x, int y, int width, int height);

}  // namespace glyphmill
