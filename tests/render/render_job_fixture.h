// Builds real render jobs for the tests: a real font (DejaVu Sans), the real measurement and the
// real job table, served by a host that records every report and runs the callbacks directly.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/job_table.h"
#include "render/render_host.h"
#include "render/render_thread.h"
#include "settings/character_selection.h"
#include "settings/font_metrics.h"
#include "settings/font_request.h"
#include "settings/generation_settings.h"

namespace glyphmill::testing {

class RecordingHost : public RenderHost {
 public:
  struct Report {
    int32_t progress;
    std::string status;
  };
  void ReportProgress(int32_t progress, const std::string& status) override {
    std::function<void(const Report&)> hook;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      reports_.push_back({progress, status});
      hook = onReport;
    }
    if (hook) hook({progress, status});
  }
  void JobFinished(RenderThread& job) override {
    finishedJob = &job;
    finished.fetch_add(1);
  }
  std::vector<Report> reports() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reports_;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const Report& r : reports())
      if (!r.status.empty()) t.push_back(r.status);
    return t;
  }

  std::function<void(const Report&)> onReport;  // set before the job starts
  std::atomic<int> finished{0};
  RenderThread* finishedJob = nullptr;

 private:
  mutable std::mutex mutex_;
  std::vector<Report> reports_;
};

inline GenerationSettings TestSettings(int size = 128) {
  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  s.fontSize = 16;
  s.styleFlags = 0;
  s.textureWidth = static_cast<uint16_t>(size);
  s.textureHeight = static_cast<uint16_t>(size);
  return s;
}

// Code units first..last selected.
inline CharacterSelection Selection(uint16_t first, uint16_t last) {
  CharacterSelection sel{};
  for (uint32_t u = first; u <= last; ++u) sel[u] = 1;
  return sel;
}

// Measures the font and builds a job with its table, ready to start.
inline std::unique_ptr<RenderThread> MakeJob(const GenerationSettings& s, uint8_t options, RenderHost* host,
                                             CharacterSelection selection, const GenerationExtras& extras = {}) {
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  const FontRequest font = FontRequestFromSettings(s);
  EXPECT_TRUE(measurer.Measure(font, {}, s.kerning, selection, fontChanged, tables, &error)) << error;
  auto job = std::make_unique<RenderThread>(s, options, host, extras);
  JobTable table = BuildJobTable(s, selection, tables.glyphMetrics, tables.glyphHeights, tables.selectedCount, extras);
  job->setTable(std::move(table.chars), std::move(table.abc));
  return job;
}

// Runs a job on its own thread to completion.
inline void RunToEnd(RenderThread& job) {
  job.start();
  job.join();
}

}  // namespace glyphmill::testing
