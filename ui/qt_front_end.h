// FrontEnd of the generation driver served by the main window: status bar panels repainted at
// once, the progress bar, the application's busy cursors, the beep, and the hand-offs from a
// render job's thread onto the UI thread (a blocking queued call for progress, a queued call for
// the completion).
#pragma once

#include "app/front_end.h"

namespace glyphmill {

class TForm1;

class QtFrontEnd : public FrontEnd {
 public:
  explicit QtFrontEnd(TForm1& window) : window_(window) {}
  ~QtFrontEnd() override;

  void ShowStatus(const std::string& text, const std::string& characters) override;
  void ShowProgress(int32_t maximum) override;
  void SetProgress(int32_t position) override;
  void HideProgress() override;
  void SetBusyCursor(BusyCursor kind) override;
  void RestoreCursor() override;
  void Beep() override;
  void ProcessPendingEvents() override;
  void ImagesChanged() override;
  void LayoutAfterGenerate() override;
  bool AutoPreviewEnabled() const override;
  void DrawPreview() override;
  bool ShowGuidesEnabled() const override;
  void RunOnMainThreadBlocking(const std::function<void()>& call) override;
  void PostToMainThread(std::function<void()> call) override;

  int beeps() const { return beeps_; }

 private:
  TForm1& window_;
  bool cursorSet_ = false;
  int beeps_ = 0;
};

}  // namespace glyphmill
