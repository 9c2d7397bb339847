#include "ui/texture_hover.h"

#include "app/app_state.h"
#include "ui/texture_inspector.h"
#include "ui/texture_view.h"

namespace glyphmill {

void ConnectTextureInspection(TextureView& view, const AppState& state) {
  QObject::connect(&view, &TextureView::pointerOverPixel, &view, [&view, &state](QPoint pixel) {
    const std::optional<std::size_t> index =
        PlacedCellAt(state.result.chars, PlacedFlags(state.result), pixel.x(), pixel.y());
    if (!index) {
      view.setMarkedCell({});
      view.setHoverText({});
      return;
    }
    const PlacedCharacter& cell = state.result.chars[*index];
    view.setMarkedCell(CellRect(cell));
    view.setHoverText(InspectText(cell));
  });
  QObject::connect(&view, &TextureView::pointerLeftTexture, &view, [&view] {
    view.setMarkedCell({});
    view.setHoverText({});
  });
}

}  // namespace glyphmill
