#include "app/generation_driver.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/job_table.h"
#include "app/status_texts.h"
#include "app/texture_size.h"
#include "export/export_run.h"
#include "render/render_host.h"
#include "render/render_thread.h"
#include "render/texture_fit.h"
#include "render/tick_count.h"
#include "settings/distance_field_mode.h"

namespace glyphmill {

// One render job with the host object it reports through. The host forwards to the driver on the
// main thread, where the driver tells the current job from a superseded one.
struct GenerationDriver::Job : RenderHost {
  GenerationDriver* driver = nullptr;
  std::unique_ptr<RenderThread> thread;
  std::atomic<bool> finished{false};

  void ReportProgress(int32_t progress, const std::string& status) override {
    GenerationDriver* d = driver;
    d->frontEnd_.RunOnMainThreadBlocking([d, this, progress, &status] { d->Report(this, progress, status); });
  }
  void JobFinished(RenderThread&) override {
    finished = true;
    GenerationDriver* d = driver;
    d->frontEnd_.PostToMainThread([d, this] { d->Completed(this); });
  }
};

GenerationDriver::GenerationDriver(AppState& state, FrontEnd& frontEnd, Dialogs& dialogs)
    : state_(state), frontEnd_(frontEnd), dialogs_(dialogs) {}

GenerationDriver::~GenerationDriver() { Shutdown(); }

void GenerationDriver::SetStatus(const std::string& text) {
  state_.statusText = text;
  frontEnd_.ShowStatus(text, status::CharacterCount(state_.tables.selectedCount));
}

size_t GenerationDriver::liveJobs() const { return jobs_.size(); }

bool GenerationDriver::Generate(const FontRequest& font, std::string* error) {
  AppState& s = state_;
  // A running job is asked to stop; nothing waits for it.
  if (current_) {
    frontEnd_.Beep();
    current_->thread->terminate();
    current_ = nullptr;
  }
  // Progress bar and cursor.
  int32_t maximum = 300 + (BakesOutline(s.settings) ? 200 : 0) + (BakesDropShadow(s.settings) ? 200 : 0);
  frontEnd_.ShowProgress(maximum);
  frontEnd_.SetBusyCursor(s.exportAfterGenerate ? BusyCursor::Exporting : BusyCursor::Generating);
  s.generationIdle = false;
  // The first status text, shown before the slower work starts.
  SetStatus(status::kPreparingText);
  frontEnd_.ProcessPendingEvents();
  // Every job places its characters; guides only when asked for.
  uint8_t options = kJobPlace | (frontEnd_.ShowGuidesEnabled() ? kJobDrawGuides : 0);
  // A result whose export is its last use keeps of its later pages only what exporters receive.
  if (exportIsLastUse_ && s.exportAfterGenerate) options |= kJobExportOnly;
  // The job is created suspended with its own copy of the settings.
  SetStatus(status::kCreatingThread);
  auto job = std::make_unique<Job>();
  job->driver = this;
  job->thread = std::make_unique<RenderThread>(s.settings, options, job.get(), s.extras);
  // Measurement; a failure releases the unstarted job and leaves the driver idle.
  SetStatus(status::kGettingFontDimensions);
  std::string message;
  if (!s.measurer.Measure(font, s.extras.fallbacks, s.settings.kerning, s.selection, s.fontChanged, s.tables,
                          &message)) {
    frontEnd_.RestoreCursor();
    frontEnd_.HideProgress();
    s.generationIdle = true;
    if (error) *error = message;
    return false;
  }
  // Each fallback that could not be opened is named once per generation; the rest go on without it.
  for (const std::string& notice : s.tables.fallbacks.notices) SetStatus(notice);
  // The table holds exactly one record per selected code unit: when the count went stale
  // (a project loaded with a font the catalogue lacks) it is brought up to date first.
  uint32_t selected = CountSelected(s.selection);
  if (selected != s.tables.selectedCount) s.tables.selectedCount = selected;
  JobTable table = BuildJobTable(s.settings, s.selection, s.tables, selected, s.extras);
  s.tallestCell = table.tallestCell;
  // A fitted texture: the smallest size that holds the table, taken by the settings (the window
  // shows it) and by the job, before it starts.
  if (s.extras.fitTexture) {
    const TextureSize fitted =
        FitPagedTextureSize(table.chars, s.settings.packOrigin, FitMaximum(s.extras), MaxPagesOf(s.extras));
    s.settings.textureWidth = static_cast<uint16_t>(fitted.width);
    s.settings.textureHeight = static_cast<uint16_t>(fitted.height);
    job->thread->setTextureSize(fitted.width, fitted.height);
  }
  job->thread->setFallbackFonts(s.tables.fallbacks.fonts);
  job->thread->setTable(std::move(table.chars), std::move(table.abc), table.line);
  // The new job becomes the current one and starts on its own thread.
  current_ = job.get();
  jobs_.push_back(std::move(job));
  current_->thread->start();
  // The window's layout follows the new table (the preview strip's height).
  frontEnd_.LayoutAfterGenerate();
  return true;
}

bool GenerationDriver::RequestExport(int32_t pluginIndex, const FontRequest& font, std::string* error) {
  state_.exportAfterGenerate = true;
  state_.exportPluginIndex = pluginIndex;
  return Generate(font, error);
}

void GenerationDriver::SettingChanged(bool autoGenerate, bool advancedExportVisible) {
  if (advancedExportVisible) return;
  SetStatus(status::kIdle);
  if (autoGenerate && state_.generationIdle) {
    state_.lastSettingChange = TickCount();
    state_.autoGenerateArmed = true;
  }
}

bool GenerationDriver::AutoGenerateTick() {
  if (!state_.autoGenerateArmed || exporting_) return false;
  int64_t quiet = static_cast<int64_t>(TickCount()) - static_cast<int64_t>(state_.lastSettingChange);
  if (quiet <= 500) return false;
  state_.lastSettingChange = 0;
  state_.autoGenerateArmed = false;
  return current_ == nullptr;
}

void GenerationDriver::Report(Job* job, int32_t progress, const std::string& status) {
  if (job != current_) return;  // a superseded job's progress is not shown
  if (progress >= 0) frontEnd_.SetProgress(progress);
  if (!status.empty()) SetStatus(status);
}

void GenerationDriver::Completed(Job* job) {
  // A completion that arrives after Shutdown released its job finds nothing to do.
  if (std::none_of(jobs_.begin(), jobs_.end(), [job](const auto& j) { return j.get() == job; })) return;
  if (job == current_) {
    HandBack(*job);
    FinishGeneration(*job);
  }
  Release(job);
}

void GenerationDriver::HandBack(Job& job) {
  GenerationResult result = job.thread->takeResult();
  {
    std::scoped_lock lock(state_.result.colour.lock(), state_.result.mask.lock());
    state_.result = std::move(result);
  }
  frontEnd_.ImagesChanged();
}

void GenerationDriver::FinishGeneration(const Job& job) {
  AppState& s = state_;
  const int64_t placed = s.result.placedCount;
  const uint32_t selected = s.tables.selectedCount;
  const FieldFallbacks& fallbacks = s.result.fieldFallbacks;
  if (fallbacks.count > 0) SetStatus(status::FieldFallback(fallbacks.count, fallbacks.firstCodeUnit));
  if (static_cast<int64_t>(selected) <= placed) {
    if (fallbacks.count == 0) SetStatus(status::Complete(PageCount(s.result)));
  } else {
    SetStatus(status::CantFit(static_cast<uint32_t>(selected - placed), MaxPagesOf(job.thread->extras())));
  }
  frontEnd_.RestoreCursor();
  frontEnd_.HideProgress();
  s.generationIdle = true;
  current_ = nullptr;
  if (s.exportAfterGenerate) {
    s.exportAfterGenerate = false;
    // The export runs on this job's texture and with the settings the job was made from.
    ExportContext context{job.thread->settings(),
                          s.result,
                          ExportFontMetrics::Of(s.tables),
                          s.registry,
                          s.jobs,
                          dialogs_,
                          s.exportBuffers,
                          [this](const std::string& text) { SetStatus(text); },
                          exportIsLastUse_ ? &s.result : nullptr};
    // The window serves its event loop while a plug-in runs; no timer may start a generation
    // under the export meanwhile.
    exporting_ = true;
    lastExport_ = RunExport(context, s.exportPluginIndex);
    exporting_ = false;
    if (exportIsLastUse_) {
      // Its later pages may be gone: nothing of it is read again, and its memory goes now.
      std::scoped_lock lock(s.result.colour.lock(), s.result.mask.lock());
      s.result = GenerationResult{};
    }
  } else if (frontEnd_.AutoPreviewEnabled()) {
    frontEnd_.DrawPreview();
  }
}

void GenerationDriver::Release(Job* job) {
  job->thread->join();
  auto it = std::find_if(jobs_.begin(), jobs_.end(), [job](const auto& j) { return j.get() == job; });
  if (it != jobs_.end()) jobs_.erase(it);
}

void GenerationDriver::Shutdown() {
  current_ = nullptr;  // nothing is handed back from here on
  for (auto& job : jobs_) job->thread->terminate();
  // Jobs may be waiting for a report to be shown: keep serving the main thread until each is done.
  while (std::any_of(jobs_.begin(), jobs_.end(), [](const auto& j) { return !j->finished.load(); })) {
    frontEnd_.ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  for (auto& job : jobs_) job->thread->join();
  jobs_.clear();
}

}  // namespace glyphmill
