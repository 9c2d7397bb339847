// The main window's side of the other three windows: the character range editor, the Advanced
// Export window and the About window, all modal.

#include "ui/about_window.h"
#include "ui/advanced_export_window.h"
#include "ui/main_window.h"
#include "ui/range_editor_window.h"

namespace glyphmill {

void TForm1::btnCharacterRangeClick() {
  if (!rangeEditor_) return;
  FontRequest font;
  std::string error;
  if (!fontRequestFromControls(&font, &error)) {
    dialogs_.showMessage({"", error, DialogIcon::Error, DialogOwner::MainWindow});
    return;
  }
  // Accepted: the editor has re-measured; the change notification follows.
  if (rangeEditor_->runEditor(font)) ReadSetting(SettingSelector::None);
}

void TForm1::OpenAdvancedExport() {
  if (!advancedExport_) return;
  // Execute (modal result 1) exports the whole job queue after a fresh generation.
  if (advancedExport_->exec() == 1) QuickExport(-1);
}

void TForm1::Button6Click() {
  if (about_) about_->exec();
}

bool TForm1::advancedExportVisible() const { return advancedExport_ && advancedExport_->isVisible(); }

}  // namespace glyphmill
