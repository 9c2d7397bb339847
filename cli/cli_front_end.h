// CliFrontEnd: the generation driver's front end for the command line. Status texts go to the
// console ("!" texts as errors, the marker left out as the status bar leaves it out), the progress
// bar to the console's bar, and a job's calls onto the main thread through a MainThreadQueue that
// the main thread serves while it waits for the generation.
#pragma once

#include <string>
#include <thread>

#include "app/front_end.h"
#include "app/main_thread_queue.h"
#include "cli/console.h"

namespace glyphmill::cli {

class CliFrontEnd : public FrontEnd {
 public:
  CliFrontEnd(Console& console, bool showGuides)
      : console_(console), showGuides_(showGuides), mainThread_(std::this_thread::get_id()) {}

  void ShowStatus(const std::string& text, const std::string& characters) override;
  void ShowProgress(int32_t maximum) override { console_.showProgress(maximum); }
  void SetProgress(int32_t position) override { console_.setProgress(position); }
  void HideProgress() override { console_.hideProgress(); }
  void SetBusyCursor(BusyCursor) override {}
  void RestoreCursor() override {}
  void Beep() override {}
  void ProcessPendingEvents() override {}
  void ImagesChanged() override {}
  void LayoutAfterGenerate() override {}
  bool AutoPreviewEnabled() const override { return false; }
  void DrawPreview() override {}
  bool ShowGuidesEnabled() const override { return showGuides_; }
  void RunOnMainThreadBlocking(const std::function<void()>& call) override;
  void PostToMainThread(std::function<void()> call) override { queue_.post(std::move(call)); }

  MainThreadQueue& queue() { return queue_; }
  const std::string& lastStatus() const { return lastStatus_; }

 private:
  Console& console_;
  bool showGuides_;
  std::thread::id mainThread_;
  MainThreadQueue queue_;
  std::string lastStatus_;
};

}  // namespace glyphmill::cli
