// RenderedGlyphs: the glyphs of one job's table, rendered once on several threads and kept for
// every drawing pass of the job (the mask, the outline's scratch image, the colour image), which
// composite the same bitmaps in table order.
//
// FreeType allows one thread per library, so every further thread renders with a face of its own
// (opened once from the job's face's request and file and kept for the later passes); the job's
// own face is the first thread's. Each FreeType library renders a glyph to the same bitmap, so the
// textures do not depend on which thread rendered what. With few glyphs the work stays on the
// calling thread: another face costs more than it saves.
//
// Threads: one RenderedGlyphs serves one job's thread (its helpers are its own business).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "render/placed_character.h"
#include "settings/font_face.h"

namespace glyphmill {

class RenderedGlyphs {
 public:
  // Renders the records `todo` (indices into `chars`, in drawing order) that are not held yet, in
  // `antialiasMode` with up to `workers` threads, each record with the face of its font (`face`
  // for font 0 and any font without a face, fallbacks[k - 1] for font k), and calls consume(k) on
  // the calling thread for k = 0, 1, ... in order as soon as glyph(todo[k]) is ready. consume
  // returning false ends the pass: nothing further is consumed (what was rendered stays held).
  // Returns false then. A null face renders nothing: every glyph is a failed one.
  bool renderInOrder(FontFace* face, const std::vector<FontFace*>& fallbacks, uint16_t antialiasMode,
                     const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& todo, int32_t workers,
                     const std::function<bool(int32_t k)>& consume);

  // The rendered glyph of record i, or nullptr when FreeType could not render it (or it was never
  // asked for).
  const GlyphImage* glyph(int32_t i) const;

 private:
  struct Held {
    uint16_t codeUnit = 0;
    uint8_t state = 0;  // kMissing, kRendered, kFailed
    GlyphImage image;
  };
  bool holds(int32_t i, const PlacedCharacter& c) const;
  // The fonts of up to `wanted` threads: [thread][font], the calling thread's being the job's own.
  std::vector<std::vector<FontFace*>> facesFor(int32_t wanted);

  std::vector<FontFace*> fonts_;  // what the held glyphs were rendered with: the face, then the fallbacks
  uint16_t antialiasMode_ = 0;
  std::vector<Held> held_;
  // Each further thread's own copy of every font, opened once and kept for the later passes.
  std::vector<std::vector<std::unique_ptr<FontFace>>> workerFaces_;
};

}  // namespace glyphmill
