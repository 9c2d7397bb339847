// RenderThread: one render job. It owns a copy of the settings, its table and its three images
// (colour, mask, scratch), and runs on a thread of its own:
//
//   created (suspended, with the settings and options; opens its face) -> setTable -> start()
//   -> Execute on the job's thread -> host->JobFinished(job) on the job's thread
//   -> the host hands the results back on its main thread, join()s and deletes the job.
//
// Execute: "Preparing Surface...", background fill, sort and place, the mask (or the outline,
// which writes the whole mask), the drop shadow, the glyphs in the text colour, the guides. A
// distance-field job draws the fields into the mask and the text colour under them instead, and
// bakes neither outline nor shadow (distance_field_drawing.h). A job allowed several pages
// (GenerationExtras::maxPages) places onto further pages what the first cannot hold, and draws
// every page the same way, one after another; the first page is its own images, and each later
// one is kept compactly once drawn (texture_page.h).
// terminate() only sets a flag: the drawing passes end after the character just drawn and the
// multi-pass filters between passes, the run still returns normally and JobFinished still runs.
// A stopped job's images are incomplete; its front end discards the completion of a job that is
// no longer its current one.
//
// Threads: the constructor, setTable, start, terminate and the result accessors run on the
// front end's thread; the results may be read once JobFinished has been called (Execute returned).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "render/generation_result.h"
#include "render/glyph_drawing.h"
#include "render/image24.h"
#include "render/page_pixels.h"
#include "render/partition.h"
#include "render/placed_character.h"
#include "render/progress_reporter.h"
#include "render/render_host.h"
#include "settings/font_face.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

class RenderThread {
 public:
  // Suspended job: sizes the three images to the texture, opens the font face and builds the
  // packer trees. A face that cannot be opened, or images that cannot be allocated, are recorded in
  // setupError(); the job then still runs safely (it draws nothing it cannot).
  RenderThread(const GenerationSettings& settings, uint8_t options, RenderHost* host,
               const GenerationExtras& extras = {});
  ~RenderThread();  // joins the job's thread if it is still joinable
  RenderThread(const RenderThread&) = delete;
  RenderThread& operator=(const RenderThread&) = delete;

  // A texture size chosen after the job was created (a fitted size): the job's settings take it,
  // and the images and packer trees are made again at that size. Only before start().
  void setTextureSize(int32_t width, int32_t height);

  // The fallback fonts the table's records name (font k is fonts[k - 1]), opened at the job's size
  // and style. A font that cannot be opened now draws its records with the job's own font. Only
  // before start().
  void setFallbackFonts(const std::vector<ResolvedFont>& fonts);

  // The job table and, for each record, the metrics it was built from (the guides read them).
  // Only before start().
  void setTable(std::vector<PlacedCharacter> chars, std::vector<GlyphABC> abc, LineCell line = {});

  void start();  // runs Execute, then host->JobFinished(*this), on a new thread
  void run();    // the same on the calling thread (no thread of its own)
  void terminate() { terminate_.store(true); }
  bool terminateRequested() const { return terminate_.load(); }
  void join();  // waits for the job's thread; never from inside JobFinished

  // For tests: the millisecond tick source of the progress throttle.
  void setTickSource(ProgressReporter::TickSource ticks) { progress_ = ProgressReporter(host_, std::move(ticks)); }

  const GenerationSettings& settings() const { return settings_; }
  const GenerationExtras& extras() const { return extras_; }
  uint8_t options() const { return options_; }
  const std::string& setupError() const { return setupError_; }
  // A failure that ended the run early (memory exhausted); empty after a normal run. The results
  // of such a run are incomplete.
  const std::string& runError() const { return runError_; }

  // Results, valid once Execute has returned.
  int32_t placedCount() const { return placedCount_; }
  int32_t pageCount() const { return pageCount_; }
  Image24& colourImage() { return colourImage_; }
  Image24& maskImage() { return maskImage_; }
  const std::vector<PlacedCharacter>& chars() const { return chars_; }
  int32_t charCount() const { return static_cast<int32_t>(chars_.size()); }
  // Indices into chars(), largest cell first; records before placedCount() in it are placed.
  const std::vector<int32_t>& sortOrder() const { return sortOrder_; }
  // The results moved out as one value, once Execute has returned: the images, the table and the
  // order are the job's no more (they are left empty, and the scratch image is released), the
  // settings and the extras stay.
  GenerationResult takeResult();

  // The job's run (steps in the order described above).
  void Execute();

 private:
  // Sizes the three images to the settings' texture (recording a failed allocation in setupError)
  // and builds the packer trees for it.
  void prepareSurfaces();
  // Draws the records `source` marks placed onto one page's images: the distance field, or the
  // mask, effects and glyphs with the straight or premultiplied page when the job makes one, then
  // the guides.
  void DrawPage(const GlyphSource& source, Image24& colour, Image24& mask, Image24& page);
  // The mask (or the outline), the drop shadow and the glyphs of the coverage modes; keeps the
  // layers' coverage when the job makes a straight or premultiplied page.
  void DrawClassic(const GlyphSource& source, Image24& colour, Image24& mask);
  // True when the job draws on its working surface (Cleartype, the outline, the drop shadow).
  bool usesScratch() const;
  // True when the job makes a page other than its colour image.
  bool makesPage() const;

  RenderHost* host_;
  uint8_t options_;
  GenerationSettings settings_;
  GenerationExtras extras_;
  int32_t width_;
  int32_t height_;
  Image24 colourImage_;
  Image24 maskImage_;
  Image24 scratchImage_;
  Image24 pageImage_;
  LayerCoverage layers_;
  std::unique_ptr<FontFace> face_;
  std::vector<ResolvedFont> fallbackFonts_;
  std::vector<std::unique_ptr<FontFace>> fallbackFaces_;  // one per fallback font, null when it failed
  std::string setupError_;
  std::string surfaceError_;  // the failed allocation of the current size, part of setupError()
  std::string fontError_;
  std::string runError_;
  std::vector<std::unique_ptr<TPartition>> trees_;
  int32_t nextTree_ = 0;
  std::vector<int32_t> sortOrder_;
  std::vector<uint8_t> placed_;
  int32_t placedCount_ = kAllPlaced;
  int32_t pageCount_ = 1;
  int32_t lastPageHeight_ = 0;
  std::vector<TexturePage> morePages_;  // pages 1.. of a job that filled several
  FieldFallbacks fieldFallbacks_;       // multi-channel fields: glyphs drawn with a single-channel field
  std::vector<PlacedCharacter> chars_;
  std::vector<GlyphABC> abc_;
  LineCell line_;
  ProgressReporter progress_;
  std::atomic<bool> terminate_{false};
  std::thread thread_;
};

}  // namespace glyphmill
