// The font information of glyphmill/host.h as one flat block of bytes, so that it can lie in the
// shared memory a program and its plug-in host both map.
//
// The program builds the records (export/host_services.h) and writes them with
// WriteFontInfoImage; the host reads the block where it maps it and rebuilds the version 1 and
// version 2 records with ReadFontInfoImage, their pointers aimed into the block itself. The block
// holds offsets, never pointers, so it means the same at any address.
//
// The block may also carry the texture pages (glyphmill.pages/1): every page's size, the whole
// character table with each character's page, placed flag and geometry, and the two buffers of
// every page after the first (page 0's are the export call's own). The page buffers are the bulk
// of the block and are written last, each by its own writer, straight to where the block goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill {

// The records, pointing into an image; valid while the image's bytes stay where they are.
struct FontInfoRecords {
  GlyphmillFontInfoV1 v1{};
  GlyphmillFontInfoV2 v2{};
  bool hasPages = false;  // the image carries the pages record
  GlyphmillPagesV1 pages{};
  std::vector<GlyphmillPage> pageList;  // what pages.pages points at
};

// One page as the program describes it: its size and, for every page after the first, the writers
// of its colour buffer (width * height * 3 bytes) and alpha buffer (width * height bytes), and
// what to do once both are written (may be empty): an export that is its result's last use gives
// the page's memory back there, so that no page is held twice.
struct PageImageSource {
  uint32_t width = 0;
  uint32_t height = 0;
  std::function<void(uint8_t* dst)> writeRgb;
  std::function<void(uint8_t* dst)> writeAlpha;
  std::function<void()> written;
};

// The pages of an export: every page (page 0 first), and the whole table with one entry per
// record in each of the other lists.
struct PagesImageSource {
  std::vector<PageImageSource> pages;
  std::span<const TExportCharInfo> chars;
  std::span<const uint32_t> charPages;
  std::span<const uint8_t> placed;
  std::span<const GlyphmillCharGeometry> geometry;
};

// A block in two parts: the records' bytes (`head`), then the page buffers, each `size` bytes at
// `offset` from the block's start, written there by `write` and followed by `written` when that
// is set. `size` is the whole block's.
struct FontInfoImage {
  struct Part {
    uint64_t offset = 0;
    uint64_t size = 0;
    std::function<void(uint8_t* dst)> write;
    std::function<void()> written;
  };
  std::vector<uint8_t> head;
  std::vector<Part> parts;
  uint64_t size = 0;

  // Writes the whole block to `dst` (`size` bytes, 8-byte aligned), in order: the head, then each
  // part. `prepare`, when given, is told each stretch (offset, bytes) before it is written, so
  // that shared memory can map just those pages then.
  void writeTo(uint8_t* dst, const std::function<void(uint64_t offset, uint64_t bytes)>& prepare = {}) const;
  // The whole block as bytes.
  std::vector<uint8_t> bytes() const;
};

// The block for a pair of records of the same font (their face name, placed flags and kerning
// pairs are the same; the second adds the character geometry), and the pages when given.
FontInfoImage WriteFontInfoImageParts(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2,
                                      const PagesImageSource* pages);
std::vector<uint8_t> WriteFontInfoImage(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2,
                                        const PagesImageSource* pages = nullptr);

// The records of a block at `data` of `size` bytes (8-byte aligned); nullopt when the block is
// not a whole, well-formed image.
std::optional<FontInfoRecords> ReadFontInfoImage(const uint8_t* data, std::size_t size);

// Aims the pages record at the buffers an export call passes: page 0 takes the call's own colour
// and alpha buffers, and no page keeps a kind of buffer the call does not pass (null).
void AimPagesAtCall(FontInfoRecords& records, const uint8_t* rgb, const uint8_t* alpha);

}  // namespace glyphmill
