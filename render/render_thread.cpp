#include "render/render_thread.h"

#include <mutex>
#include <new>
#include <numeric>

#include "render/distance_field_drawing.h"
#include "render/drop_shadow.h"
#include "render/glyph_drawing.h"
#include "render/multi_channel_field_drawing.h"
#include "render/outline.h"
#include "render/placement.h"
#include "render/render_texts.h"
#include "render/row_workers.h"
#include "render/texture_fit.h"
#include "settings/distance_field_mode.h"
#include "settings/font_request.h"

namespace glyphmill {

RenderThread::RenderThread(const GenerationSettings& settings, uint8_t options, RenderHost* host,
                           const GenerationExtras& extras)
    : host_(host), options_(options), settings_(settings), extras_(extras), width_(0), height_(0), progress_(host) {
  FontRequest request = FontRequestFromSettings(settings);
  if (request.name.empty()) request.name = kDefaultFontName;
  std::string error;
  face_ = FontFace::Open(request, &error);
  if (!face_) fontError_ = error.empty() ? "The font could not be opened" : error;
  prepareSurfaces();
}

void RenderThread::prepareSurfaces() {
  width_ = settings_.textureWidth;
  height_ = settings_.textureHeight;
  surfaceError_.clear();
  try {
    colourImage_.resize(width_, height_);
    maskImage_.resize(width_, height_);
    // The working surface serves Cleartype, the outline and the drop shadow only; a texture's
    // worth of memory is not touched for nothing.
    const bool needsScratch = usesScratch();
    scratchImage_.resize(needsScratch ? width_ : 0, needsScratch ? height_ : 0);
  } catch (const std::bad_alloc&) {
    surfaceError_ = "Not enough memory for a " + std::to_string(width_) + " x " + std::to_string(height_) + " texture";
    width_ = height_ = 0;
    colourImage_.resize(0, 0);
    maskImage_.resize(0, 0);
    scratchImage_.resize(0, 0);
  }
  // A failed allocation is the first thing to tell; then a face that could not be opened.
  setupError_ = surfaceError_.empty() ? fontError_ : surfaceError_;
  maskImage_.fill(0, 0, 0);
  trees_ = CreatePackerTrees(width_, height_, settings_.packOrigin);
  nextTree_ = 0;
}

void RenderThread::setTextureSize(int32_t width, int32_t height) {
  if (width == settings_.textureWidth && height == settings_.textureHeight) return;
  settings_.textureWidth = static_cast<uint16_t>(width);
  settings_.textureHeight = static_cast<uint16_t>(height);
  prepareSurfaces();
}

RenderThread::~RenderThread() { join(); }

void RenderThread::setFallbackFonts(const std::vector<ResolvedFont>& fonts) {
  fallbackFonts_ = fonts;
  fallbackFaces_.clear();
  const FontRequest chosen = face_ ? face_->request() : FontRequestFromSettings(settings_);
  for (const ResolvedFont& font : fonts) {
    FontRequest request = chosen;
    request.name = font.path;
    std::string error;
    fallbackFaces_.push_back(FontFace::OpenResolved(request, font, &error));
  }
}

void RenderThread::setTable(std::vector<PlacedCharacter> chars, std::vector<GlyphABC> abc, LineCell line) {
  line_ = line;
  chars_ = std::move(chars);
  abc_ = std::move(abc);
}

void RenderThread::run() {
  try {
    Execute();
  } catch (const std::exception& e) {
    // A run cut short still completes: the host must hear of it, and the error says why.
    runError_ = e.what();
  }
  if (host_) host_->JobFinished(*this);
}

void RenderThread::start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] { run(); });
}

void RenderThread::join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void RenderThread::Execute() {
  progress_.restartClock();
  progress_.report(0, render_text::kPreparingSurface);
  progress_.setProgressBase(0);
  placedCount_ = kAllPlaced;
  pageCount_ = 1;
  lastPageHeight_ = height_;
  morePages_.clear();
  fieldFallbacks_ = FieldFallbacks{};
  {
    std::lock_guard<std::mutex> lock(colourImage_.lock());
    FillBackground(colourImage_, settings_.backColour);
  }

  if (options_ & kJobPlace) {
    const PageLayout layout{width_, height_, settings_.packOrigin, MaxPagesOf(extras_)};
    PlacementResult placement = PlaceCharactersOnPages(chars_, trees_, nextTree_, layout, progress_);
    placedCount_ = placement.placedCount;
    pageCount_ = placement.pageCount;
    placed_ = PlacedFlags(placement, chars_.size());
    sortOrder_ = std::move(placement.sortOrder);
    // A fitted size crops the last of several pages to the height its cells need.
    if (extras_.fitTexture && pageCount_ > 1)
      lastPageHeight_ =
          CropPage(chars_, sortOrder_, placedCount_, pageCount_ - 1, width_, height_, settings_.packOrigin);
    progress_.setProgressBase(100);
  } else {
    // Without placement every record counts as placed where it stands.
    sortOrder_.resize(chars_.size());
    std::iota(sortOrder_.begin(), sortOrder_.end(), 0);
    placed_.assign(chars_.size(), 1);
  }

  // Every page is drawn by the same passes over its own records; the glyphs are rendered once for
  // all of them. Page 0 is the job's own images, as a one-page job draws them.
  GlyphSource source{face_.get(), settings_.antialiasMode, &chars_, &placed_};
  for (const std::unique_ptr<FontFace>& fallback : fallbackFaces_) source.fallbacks.push_back(fallback.get());
  if (pageCount_ == 1) {
    DrawPage(source, colourImage_, maskImage_, pageImage_);
    return;
  }
  std::vector<uint8_t> onPage = PlacedOnPage(chars_, placed_, 0);
  GlyphSource pageSource = source;
  pageSource.placed = &onPage;
  DrawPage(pageSource, colourImage_, maskImage_, pageImage_);
  // The later pages are drawn one at a time on one working mask, and each is kept with its mask
  // in one byte per pixel (texture_page.h); the working mask goes once the last is drawn.
  Image24 workingMask;
  for (int32_t page = 1; page < pageCount_ && !terminate_.load(); ++page) {
    const int32_t height = page + 1 == pageCount_ ? lastPageHeight_ : height_;
    TexturePage drawn;
    drawn.colour.resize(width_, height);
    // Every pass starts from a black mask, as the first page's does.
    workingMask.resize(width_, height);
    // The working surface, when the job has one, starts black at each page's size, as for the first.
    if (usesScratch()) scratchImage_.resize(width_, height);
    FillBackground(drawn.colour, settings_.backColour);
    onPage = PlacedOnPage(chars_, placed_, page);
    progress_.setProgressBase(100);
    DrawPage(pageSource, drawn.colour, workingMask, drawn.page);
    {
      std::lock_guard<std::mutex> lock(workingMask.lock());
      KeepMask(workingMask, drawn);
    }
    if ((options_ & kJobExportOnly) && drawn.page.width() > 0) {
      std::scoped_lock lock(drawn.colour.lock(), drawn.page.lock());
      drawn.colour = std::move(drawn.page);
    }
    morePages_.push_back(std::move(drawn));
  }
}

void RenderThread::DrawPage(const GlyphSource& source, Image24& colour, Image24& mask, Image24& page) {
  const Bgr ink = BgrFromColourRef(settings_.textColour);
  if (IsMultiChannelField(settings_)) {
    // Three fields in the colour image, the median or the true field in the mask. The fallbacks of
    // every page are counted together; the first is the lowest code unit (table order).
    FieldFallbacks onPage;
    DrawMultiChannelFields(source, FieldSpread(extras_), RenderWorkerCount(), colour, mask, onPage, progress_,
                           terminate_);
    if (onPage.count > 0 && (fieldFallbacks_.count == 0 || onPage.firstCodeUnit < fieldFallbacks_.firstCodeUnit))
      fieldFallbacks_.firstCodeUnit = onPage.firstCodeUnit;
    fieldFallbacks_.count += onPage.count;
  } else if (IsDistanceField(settings_)) {
    // The field in the mask, the text colour wherever it reaches; no outline, no shadow.
    {
      std::lock_guard<std::mutex> lock(mask.lock());
      mask.fill(0, 0, 0);
    }
    std::vector<FieldBox> boxes;
    DrawFieldMask(source, FieldSpread(extras_), RenderWorkerCount(), mask, boxes, progress_, terminate_);
    DrawFieldColour(source, boxes, mask, colour, ink, progress_, terminate_);
  } else {
    DrawClassic(source, colour, mask);
    if (makesPage() && !terminate_.load()) {
      std::scoped_lock lock(mask.lock(), page.lock());
      MakePage(extras_.pagePixels, layers_, LayerColoursOf(settings_), mask, RenderWorkerCount(), page);
      layers_ = {};
    }
  }
  progress_.advanceBase(100);

  if (options_ & kJobDrawGuides) {
    std::lock_guard<std::mutex> lock(colour.lock());
    DrawGuides(colour, chars_, abc_, *source.placed);
  }
}

GenerationResult RenderThread::takeResult() {
  GenerationResult result;
  {
    std::scoped_lock lock(colourImage_.lock(), maskImage_.lock());
    result.colour = std::move(colourImage_);
    result.mask = std::move(maskImage_);
  }
  {
    // The working surface is of no use after the run: its memory goes before the export needs its own.
    std::lock_guard<std::mutex> lock(scratchImage_.lock());
    scratchImage_ = Image24();
  }
  result.chars = std::move(chars_);
  result.placedCount = placedCount_;
  result.sortOrder = std::move(sortOrder_);
  result.fieldSpread = IsDistanceField(settings_) ? FieldSpread(extras_) : 0;
  result.multiChannelMode = IsMultiChannelField(settings_) ? settings_.antialiasMode : 0;
  result.fieldFallbacks = fieldFallbacks_;
  result.line = line_;
  result.fallbackFonts = fallbackFonts_;
  if (pageImage_.width() > 0) {
    std::lock_guard<std::mutex> lock(pageImage_.lock());
    result.page = std::move(pageImage_);
    result.pagePixels = extras_.pagePixels;
  }
  result.morePages = std::move(morePages_);
  morePages_.clear();
  chars_.clear();
  sortOrder_.clear();
  return result;
}

bool RenderThread::usesScratch() const {
  return settings_.antialiasMode == kAntialiasCleartype || BakesOutline(settings_) || BakesDropShadow(settings_);
}

bool RenderThread::makesPage() const { return extras_.pagePixels != kPagePixelsClassic && !IsDistanceField(settings_); }

void RenderThread::DrawClassic(const GlyphSource& source, Image24& colour, Image24& mask) {
  const Bgr white{255, 255, 255};
  if (BakesOutline(settings_)) {
    DrawOutline(source, settings_, colour, mask, scratchImage_, progress_, terminate_);
    if (makesPage()) {
      std::lock_guard<std::mutex> lock(scratchImage_.lock());
      CaptureOutlineCoverage(scratchImage_, layers_);
    }
  } else {
    {
      std::lock_guard<std::mutex> lock(mask.lock());
      mask.fill(0, 0, 0);
    }
    DrawCharacters(source, mask, TargetKind::Grey, white, scratchImage_, progress_, terminate_);
    // Without a drop shadow the finished mask is the text's coverage: nothing to keep.
    if (makesPage() && BakesDropShadow(settings_)) {
      std::lock_guard<std::mutex> lock(mask.lock());
      CaptureGlyphCoverage(mask, layers_);
    }
  }
  if (BakesDropShadow(settings_)) DrawDropShadow(settings_, mask, scratchImage_, progress_, terminate_);

  DrawCharacters(source, colour, TargetKind::Colour, BgrFromColourRef(settings_.textColour), scratchImage_, progress_,
                 terminate_);
}

}  // namespace glyphmill
