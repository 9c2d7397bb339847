// The preview strip `Image3`: a line of the preview text set with the generated bitmap font itself.
// Every character is cut out of the colour image through the alpha mask at its placed cell and laid
// out with the advances an exporter writes (advanceBefore, advanceAfter, spaceAdvance).
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
  int32_t textureWidth;   // of the settings: source pixels are clamped to them
  int32_t textureHeight;
  const Image24& colour;  // the colour image and the alpha mask (blue byte = coverage)
  const Image24& mask;
  // One flag per table record, 0 for a record that found no room (its cell sits at 0, 0 over
  // another character's); empty when every record is placed.
  std::vector<uint8_t> placed = {};
};

// DrawPreview over a bitmap: fills it with `background`, then copies each character's cell at the
// pen position, blending by the mask, with every cell's text line on one row (compact cells start
// lower the less they reach above the line). Pixels outside the strip are skipped; the pen keeps moving.
// Characters that are not in the table, or found no room in the texture, are left out.
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
