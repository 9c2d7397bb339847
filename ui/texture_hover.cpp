#include "ui/texture_hover.h"

#include "app/app_state.h"
#include "render/placement.h"
#include "ui/texture_inspector.h"
#include "ui/texture_view.h"

namespace glyphmill {

void ConnectTextureInspection(TextureView& view, const AppState& state, std::function<int32_t()> shownPage) {
  QObject::connect(&view, &TextureView::pointerOverPixel, &view, [&view, &state, shownPage](QPoint pixel) {
    const std::vector<uint8_t> onPage = PlacedOnPage(state.result.chars, PlacedFlags(state.result), shownPage());
    const std::optional<std::size_t> index = PlacedCellAt(state.result.chars, onPage, pixel.x(), pixel.y());
    if (!index) {
      view.setMarkedCell({});
      view.setHoverText({});
      return;
    }
    const PlacedCharacter& cell = state.result.chars[*index];
    view.setMarkedCell(CellRect(cell));
    view.setHoverText(InspectText(cell, PageCount(state.result)));
  });
  QObject::connect(&view, &TextureView::pointerLeftTexture, &view, [&view] {
    view.setMarkedCell({});
    view.setHoverText({});
  });
}

}  // namespace glyphmill
