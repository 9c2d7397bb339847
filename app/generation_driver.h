// GenerationDriver: turns the current settings into render jobs and reports their outcome.
//
// Generate measures the font, builds the job table and starts one RenderThread; the job's
// completion comes back to the main thread, where the driver moves its result (images, table,
// placed count, order) into the AppState and runs FinishGeneration (status, then the pending export or the automatic
// preview). A Generate while a job runs asks that job to stop and starts the new one at once; the
// stopped job still finishes, but its completion is discarded whole (no hand-back, no status, no
// export), and its progress reports are not shown.
//
// Threads: every public call is made on the main thread. Jobs report through the FrontEnd.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/front_end.h"
#include "export/dialogs.h"
#include "export/export_run.h"
#include "settings/font_face.h"
#include "settings/font_request.h"

namespace glyphmill {

class RenderThread;

class GenerationDriver {
 public:
  GenerationDriver(AppState& state, FrontEnd& frontEnd, Dialogs& dialogs);
  ~GenerationDriver();
  GenerationDriver(const GenerationDriver&) = delete;
  GenerationDriver& operator=(const GenerationDriver&) = delete;

  // SetStatus: the one way to write the status line.
  void SetStatus(const std::string& text);

  // Generate with the font the caller's controls name (the window reads its font list and size
  // box; the command-line tool passes FontRequestFromSettings). False with a message when the font
  // cannot be measured; nothing is started then and the driver is idle again.
  bool Generate(const FontRequest& font, std::string* error);
  bool Generate(std::string* error) { return Generate(FontRequestFromSettings(state_.settings), error); }

  // Export requests: record what to export and generate (QuickExport with a registry index,
  // the Advanced Export window's Execute with -1 for the job queue).
  bool RequestExport(int32_t pluginIndex, const FontRequest& font, std::string* error);

  // The change notification after a setting was read: "Idle" on the status line and, when
  // `autoGenerate` is on and no job runs, the automatic generation is armed. Nothing at all happens
  // while the advanced export window is visible.
  void SettingChanged(bool autoGenerate, bool advancedExportVisible);
  // One 100 ms tick of the automatic generation timer: true when the caller should click
  // "Generate" now (more than 500 ms passed since the last change and no job runs).
  bool AutoGenerateTick();

  // True while a current job exists (between Generate and its completion).
  bool busy() const { return current_ != nullptr; }
  // Jobs still alive, the current one and superseded ones not yet finished.
  size_t liveJobs() const;

  // What the latest export request came to (its fit question, and each export's result); empty
  // until an export ran.
  const ExportReport& lastExport() const { return lastExport_; }

  // For a front end that shows nothing of a result and ends after its export (the command line):
  // the export is the result's last use. Its later pages are then released as they go to the
  // plug-in host, so that the pages are never held twice, and the result is dropped after the
  // export. Off by default: the window keeps showing what it exported.
  void setExportIsLastUse(bool lastUse) { exportIsLastUse_ = lastUse; }

  // Asks every job to stop and waits for all of them, serving their reports meanwhile.
  void Shutdown();

 private:
  struct Job;
  void Completed(Job* job);
  void HandBack(Job& job);
  void FinishGeneration(const Job& job);
  void Release(Job* job);
  void Report(Job* job, int32_t progress, const std::string& status);

  AppState& state_;
  FrontEnd& frontEnd_;
  Dialogs& dialogs_;
  Job* current_ = nullptr;
  std::vector<std::unique_ptr<Job>> jobs_;  // every live job, current or superseded
  ExportReport lastExport_;
  bool exporting_ = false;  // inside the export branch of FinishGeneration
  bool exportIsLastUse_ = false;
};

}  // namespace glyphmill
