// Inspecting the texture: while the pointer is over a placed character's cell, the texture view
// frames that cell and shows its glyph, code unit, Unicode block, cell and advances.
#pragma once

#include <cstdint>
#include <functional>

namespace glyphmill {

struct AppState;
class TextureView;

// Connects the view's pointer reports to the handed-back placed-character table of `state`, on the
// texture page `shownPage` says the view shows.
void ConnectTextureInspection(TextureView& view, const AppState& state, std::function<int32_t()> shownPage);

}  // namespace glyphmill
