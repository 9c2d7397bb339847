// FrontEnd: what the generation driver needs from the program it runs in (the window, the
// command-line tool, or a test). Every call is made on the front end's main thread, except
// RunOnMainThreadBlocking and PostToMainThread, which a render job calls from its own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace glyphmill {

enum class BusyCursor { Exporting, Generating };

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // The status line: `text` in the first panel, `characters` (e.g. "100 Characters") in the second,
  // shown at once.
  virtual void ShowStatus(const std::string& text, const std::string& characters) = 0;

  // The progress bar: shown with position 0 and the given maximum; moved; hidden.
  virtual void ShowProgress(int32_t maximum) = 0;
  virtual void SetProgress(int32_t position) = 0;
  virtual void HideProgress() = 0;

  virtual void SetBusyCursor(BusyCursor kind) = 0;
  virtual void RestoreCursor() = 0;
  virtual void Beep() = 0;
  // Lets the front end handle what is pending (the window: its event queue) before a long step.
  virtual void ProcessPendingEvents() = 0;

  // The handed-back texture and mask are in the state: show them.
  virtual void ImagesChanged() = 0;
  // After a job was started: the window lays itself out again (the preview strip follows
  // tallestCell).
  virtual void LayoutAfterGenerate() = 0;
  // "Auto Preview" is checked: the completion redraws the preview through this.
  virtual bool AutoPreviewEnabled() const = 0;
  virtual void DrawPreview() = 0;
  // "Show Guides" is checked.
  virtual bool ShowGuidesEnabled() const = 0;

  // Runs `call` on the main thread and returns once it has run (progress reports).
  virtual void RunOnMainThreadBlocking(const std::function<void()>& call) = 0;
  // Queues `call` to run later on the main thread (a job's completion).
  virtual void PostToMainThread(std::function<void()> call) = 0;
};

}  // namespace glyphmill
