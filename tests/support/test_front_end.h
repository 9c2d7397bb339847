// A front end for driver tests: records what the driver shows and runs job calls on the test's
// main thread through a MainThreadQueue, the way the window serves them on its UI thread.
#pragma once

#include <future>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "app/main_thread_queue.h"

namespace glyphmill::testing {

class TestFrontEnd : public FrontEnd {
 public:
  void ShowStatus(const std::string& text, const std::string& characters) override {
    statuses.push_back(text);
    characterPanel = characters;
  }
  void ShowProgress(int32_t maximum) override {
    progressMaximum = maximum;
    progressVisible = true;
    progress.clear();
  }
  void SetProgress(int32_t position) override { progress.push_back(position); }
  void HideProgress() override { progressVisible = false; }
  void SetBusyCursor(BusyCursor kind) override { cursor = kind == BusyCursor::Exporting ? "hourglass" : "app-start"; }
  void RestoreCursor() override { cursor = "default"; }
  void Beep() override { ++beeps; }
  void ProcessPendingEvents() override { queue.runPending(); }
  void ImagesChanged() override { ++imageUpdates; }
  void LayoutAfterGenerate() override { ++layouts; }
  bool AutoPreviewEnabled() const override { return autoPreview; }
  void DrawPreview() override { ++previews; }
  bool ShowGuidesEnabled() const override { return guides; }
  void RunOnMainThreadBlocking(const std::function<void()>& call) override {
    std::promise<void> done;
    queue.post([&] {
      call();
      done.set_value();
    });
    done.get_future().wait();
  }
  void PostToMainThread(std::function<void()> call) override { queue.post(std::move(call)); }

  size_t count(const std::string& status) const {
    size_t n = 0;
    for (const auto& s : statuses) n += s == status;
    return n;
  }

  MainThreadQueue queue;
  std::vector<std::string> statuses;
  std::string characterPanel;
  std::vector<int32_t> progress;
  int32_t progressMaximum = 0;
  bool progressVisible = false;
  std::string cursor = "default";
  int beeps = 0, imageUpdates = 0, layouts = 0, previews = 0;
  bool autoPreview = true, guides = false;
};

}  // namespace glyphmill::testing
