// The preview strip `Image3`: a line of the preview text set with the generated bitmap font itself.
// Every character is cut out of the colour image through the alpha mask at its placed cell and laid
// out with the advances an exporter writes (advanceBefore, advanceAfter, spaceAdvance).
//
// A distance-field font is drawn as an engine draws one: the field is sampled bilinearly, the edge
// is where it crosses 128, and coverage ramps from 0 to 1 over one screen pixel around the edge.
// The line is drawn at its own size, and below it once more at the zoom the person picked (2x, 4x
// or 8x), where a coverage font would turn blurred or blocky and a distance field stays crisp.
// A multi-channel field (MSDF, MTSDF) is read from the colour image's three channels, each
// sampled bilinearly, and its edge is where their median crosses 128, with a smoothstep over the
// screen pixel; it is drawn in the text colour.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "render/image24.h"
#include "render/placed_character.h"

namespace glyphmill {

// FindPlacedCharacter: the index of the first of the first `selectedCount` records whose code unit
// is `codeUnit`; -1 when there is none, and always -1 when the table holds fewer than
// `selectedCount` records (the selection grew since the table was made).
int32_t FindPlacedCharacter(const std::vector<PlacedCharacter>& table, uint32_t selectedCount, uint16_t codeUnit);

// What the preview reads of the last generation.
struct PreviewSource {
  const std::vector<PlacedCharacter>& table;
  uint32_t selectedCount;
  int32_t spaceAdvance;
  int32_t textureWidth;  // of the settings: source pixels are clamped to them
  int32_t textureHeight;
  const Image24& colour;  // the colour image and the alpha mask (blue byte = coverage)
  const Image24& mask;
  // One flag per table record, 0 for a record that found no room (its cell sits at 0, 0 over
  // another character's); empty when every record is placed.
  std::vector<uint8_t> placed = {};
  bool distanceField = false;  // the mask holds signed distance fields (128 on the outline)
  int32_t spread = 8;          // their spread in pixels
  int32_t zoom = 1;            // 1, 2, 4 or 8: the scale of the second, zoomed line
  bool multiChannel = false;   // the colour image's red, green and blue hold three fields
  Bgr ink{};                   // the text colour a multi-channel font is drawn in
};

// Height of the strip for a table whose tallest cell is `tallestCell`: the cell's height, plus the
// zoomed line for a distance-field font previewed at a zoom above 1.
int32_t PreviewStripHeight(uint32_t tallestCell, bool distanceField, int32_t zoom);

// Coverage of a distance-field sample `field` (0..255) drawn `zoom` times its size: 0 outside, 1
// inside, a linear ramp across the screen pixel around 128.
float FieldCoverage(float field, int32_t spread, int32_t zoom);

// Coverage of a multi-channel sample whose median is `median`: FieldCoverage's ramp eased by a
// smoothstep, as engines' shaders draw these fonts.
float MultiChannelCoverage(float median, int32_t spread, int32_t zoom);

// DrawPreview over a bitmap: fills it with `background`, then copies each character's cell at the
// pen position, blending by the mask (or rendering it from the field, see above), with every cell's
// text line on one row (compact cells start lower the less they reach above the line). Pixels
// outside the strip are skipped; the pen keeps moving. Characters that are not in the table, or
// found no room in the texture, are left out.
void DrawPreviewInto(Image24& strip, Bgr background, const std::u16string& text, const PreviewSource& source);

// The strip control: shows its bitmap, keeps the drawing state that ResetPreviewStrip follows, and
// reports clicks (choose the preview background), as its hint "Click to change background" says.
class PreviewStrip : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewStrip(QWidget* parent = nullptr);

  // ResetPreviewStrip: the bitmap becomes width x height. Before the first preview it shows white
  // inside a 1-pixel frame of `frame` (the button face); after one, plain `background`.
  void reset(int width, int height, Bgr frame, Bgr background);
  // DrawPreview: redraws the whole strip; from now on resets show the plain background.
  void drawPreview(Bgr background, const std::u16string& text, const PreviewSource& source);

  const Image24& bitmap() const { return bitmap_; }
  bool previewDrawn() const { return previewDrawn_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Image24 bitmap_;
  bool previewDrawn_ = false;
};

}  // namespace glyphmill
