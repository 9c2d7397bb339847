// Generate, the automatic generation timer, the preview and the export requests.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "app/decimal_text.h"
#include "render/generation_result.h"
#include "render/placement.h"
#include "settings/font_request.h"
#include "ui/main_window.h"

#include "ui/preview_strip.h"
#include "ui/system_colours.h"

namespace glyphmill {

void TForm1::SetStatus(const std::string& text) { driver_->SetStatus(text); }

bool TForm1::fontRequestFromControls(FontRequest* font, std::string* error) {
  // The font the job will render: the record's face name (which keeps a loaded name that no
  // installed font matches) at the size typed into the size box.
  long long points = 0;
  if (!ParseDecimal(ui.udSize->cleanText().toStdString(), &points, error)) return false;
  *font = FontRequestFromSettings(state_.settings);
  font->pointSize = static_cast<int>(std::clamp<long long>(points, 0, 255));
  return true;
}

void TForm1::Button1Click() {
  FontRequest font;
  std::string error;
  if (!fontRequestFromControls(&font, &error) || !driver_->Generate(font, &error)) {
    // The default error report: a message box with the failure's text.
    dialogs_.showMessage({"", error, DialogIcon::Error, DialogOwner::MainWindow});
    return;
  }
  ++generationsStarted_;
}

void TForm1::Timer2Timer() {
  const bool generateNow = driver_->AutoGenerateTick();
  if (!state_.autoGenerateArmed) ui.Timer2->stop();
  if (generateNow) ui.Button1->click();
}

void TForm1::DrawPreview() {
  const GenerationResult& result = state_.result;
  const PreviewSource source{result.chars, state_.tables.selectedCount, state_.tables.spaceAdvance,
                             state_.settings.textureWidth, state_.settings.textureHeight, result.colour, result.mask,
                             // The strip cuts cells out of the first page: characters on later
                             // pages are left out rather than cut from the wrong page.
                             PlacedOnPage(result.chars, PlacedFlags(result), 0), result.fieldSpread > 0,
                             result.fieldSpread, previewZoom(), result.multiChannelMode != 0,
                             BgrFromColourRef(state_.settings.textColour)};
  const std::u16string text = ui.Edit12->text().toStdU16String();
  std::scoped_lock guard(result.colour.lock(), result.mask.lock());
  ui.Image3->drawPreview(ResolveColourRefBgr(state_.settings.previewBackColour, palette()), text, source);
}

void TForm1::Image3Click() {
  // The colour dialog opens with the colour it last held; no ReadSetting, so no "Idle" and no
  // automatic generation.
  const std::optional<uint32_t> chosen = prompts_.chooseColourAgain();
  if (!chosen) return;
  state_.settings.previewBackColour = *chosen;
  DrawPreview();
}

void TForm1::QuickExport(int32_t pluginIndex) {
  FontRequest font;
  std::string error;
  if (!fontRequestFromControls(&font, &error) || !driver_->RequestExport(pluginIndex, font, &error)) {
    dialogs_.showMessage({"", error, DialogIcon::Error, DialogOwner::MainWindow});
    return;
  }
  ++generationsStarted_;
}

}  // namespace glyphmill
