#include "plugins/common/png_writer.h"

#include <libdeflate.h>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "plugins/common/deflate_encoder.h"
#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {
namespace {

// Bands of fewer rows or images of fewer bytes are not worth a thread for filtering and deflating.
constexpr uint32_t kMinBandRows = 128;
constexpr std::size_t kMinParallelBytes = std::size_t{1} << 20;
constexpr unsigned kMaxThreads = 8;
// Larger images are cut into more bands than there are threads, each thread taking the next band
// when it is done, since a page's glyphs may fill its top rows and leave the bottom ones empty.
constexpr std::size_t kBandBytes = std::size_t{4} << 20;
constexpr std::size_t kMaxChunk = std::size_t{1} << 20;  // IDAT chunk payload

struct Image {
  uint32_t width;
  uint32_t height;
  const uint8_t* bgr;
  const uint8_t* alpha;
  int channels;  // 4 RGBA, 3 RGB, 1 grey
  std::size_t rowBytes() const { return std::size_t{width} * static_cast<std::size_t>(channels); }
};

// Fills one output row from the host's buffers in the PNG's channel order.
void ConvertRow(const Image& img, uint32_t y, uint8_t* out) {
  const uint8_t* bgr = img.bgr != nullptr ? img.bgr + std::size_t{y} * img.width * 3 : nullptr;
  const uint8_t* alpha = img.alpha != nullptr ? img.alpha + std::size_t{y} * img.width : nullptr;
  if (bgr != nullptr && alpha != nullptr) {
    for (uint32_t x = 0; x < img.width; ++x, bgr += 3, out += 4) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
      out[3] = alpha[x];
    }
  } else if (bgr != nullptr) {
    for (uint32_t x = 0; x < img.width; ++x, bgr += 3, out += 3) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
    }
  } else {
    std::memcpy(out, alpha, img.width);
  }
}

// A filtered byte's weight in the choice: its magnitude read as a signed value.
inline unsigned Cost(uint8_t v) { return std::min<unsigned>(v, 256u - v); }

// The Paeth predictor, written without branches so that the filter loops vectorise.
inline int Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  const int bc = pb <= pc ? b : c;
  return pa <= pb && pa <= pc ? a : bc;
}

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// The byte filter `f` gives at position i of a row (raw: this row, prev: the row above, bpp
// bytes per pixel; bytes left of the row count as 0).
inline uint8_t Filtered(Filter f, const uint8_t* raw, const uint8_t* prev, std::size_t i, std::size_t bpp) {
  const int x = raw[i];
  const int a = i >= bpp ? raw[i - bpp] : 0;
  const int b = prev[i];
  const int c = i >= bpp ? prev[i - bpp] : 0;
  switch (f) {
    case kNone: return static_cast<uint8_t>(x);
    case kSub: return static_cast<uint8_t>(x - a);
    case kUp: return static_cast<uint8_t>(x - b);
    case kAverage: return static_cast<uint8_t>(x - ((a + b) >> 1));
    case kPaeth: return static_cast<uint8_t>(x - Paeth(a, b, c));
  }
  return 0;
}

#if defined(__SSE2__)
// The five filters' bytes at positions i .. i + 15 of a row (i >= bpp), sixteen at a time. Average
// floors as the scalar form does (the rounding-up mean less its carry bit); Paeth compares in
// 16-bit lanes and picks a, b or c with the scalar form's order of preference.
struct FilteredBlock {
  __m128i f[5];
};

inline __m128i PaethHalf(__m128i a, __m128i b, __m128i c) {
  auto magnitude = [](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); };
  const __m128i pa = magnitude(_mm_sub_epi16(b, c));
  const __m128i pb = magnitude(_mm_sub_epi16(a, c));
  const __m128i pc = magnitude(_mm_sub_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, c)));
  const __m128i takeA =
      _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc)), _mm_set1_epi16(-1));
  const __m128i takeB = _mm_andnot_si128(_mm_cmpgt_epi16(pb, pc), _mm_set1_epi16(-1));
  const __m128i bc = _mm_or_si128(_mm_and_si128(takeB, b), _mm_andnot_si128(takeB, c));
  return _mm_or_si128(_mm_and_si128(takeA, a), _mm_andnot_si128(takeA, bc));
}

inline FilteredBlock FilterBlock(const uint8_t* raw, const uint8_t* prev, std::size_t i, std::size_t bpp) {
  auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  const __m128i x = load(raw + i), a = load(raw + i - bpp), b = load(prev + i), c = load(prev + i - bpp);
  const __m128i zero = _mm_setzero_si128();
  const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
  const __m128i lo = PaethHalf(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
  const __m128i hi = PaethHalf(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
  return {
      {x, _mm_sub_epi8(x, a), _mm_sub_epi8(x, b), _mm_sub_epi8(x, mean), _mm_sub_epi8(x, _mm_packus_epi16(lo, hi))}};
}
constexpr std::size_t kBlock = 16;
#endif

// The summed weight of each filter's bytes over a whole row, in one pass.
void FilterCosts(const uint8_t* raw, const uint8_t* prev, std::size_t n, std::size_t bpp, std::size_t (&cost)[5]) {
  std::size_t i = 0;
  auto scalar = [&](std::size_t at) {
    for (int f = 0; f < 5; ++f) cost[f] += Cost(Filtered(static_cast<Filter>(f), raw, prev, at, bpp));
  };
  for (; i < std::min(n, bpp); ++i) scalar(i);
#if defined(__SSE2__)
  __m128i sums[5];
  for (__m128i& v : sums) v = _mm_setzero_si128();
  const __m128i zero = _mm_setzero_si128();
  for (; i + kBlock <= n; i += kBlock) {
    const FilteredBlock block = FilterBlock(raw, prev, i, bpp);
    for (int f = 0; f < 5; ++f) {
      // A byte's weight is its magnitude as a signed value: the smaller of v and -v as unsigned.
      const __m128i weight = _mm_min_epu8(block.f[f], _mm_sub_epi8(zero, block.f[f]));
      sums[f] = _mm_add_epi64(sums[f], _mm_sad_epu8(weight, zero));
    }
  }
  for (int f = 0; f < 5; ++f) {
    alignas(16) uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums[f]);
    cost[f] += static_cast<std::size_t>(lanes[0] + lanes[1]);
  }
#endif
  for (; i < n; ++i) scalar(i);
}

// Writes the row filtered by `f` after its type byte.
void WriteFiltered(Filter f, const uint8_t* raw, const uint8_t* prev, std::size_t n, std::size_t bpp, uint8_t* out) {
  out[0] = f;
  std::size_t i = 0;
  for (; i < std::min(n, bpp); ++i) out[1 + i] = Filtered(f, raw, prev, i, bpp);
#if defined(__SSE2__)
  for (; i + kBlock <= n; i += kBlock)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 1 + i), FilterBlock(raw, prev, i, bpp).f[f]);
#endif
  for (; i < n; ++i) out[1 + i] = Filtered(f, raw, prev, i, bpp);
}

// Filters one row as libpng's adaptive filtering does: of None, Sub, Up, Average and Paeth, in
// this order, the first whose bytes have the smallest summed weight. `out` gets the filter type
// byte and the filtered row.
void FilterRow(const uint8_t* raw, const uint8_t* prev, std::size_t n, std::size_t bpp, uint8_t* out) {
  // A row equal to the one above (the empty stretches of a glyph page): Up weighs nothing, so it is
  // the choice unless None or Sub, which come first, weigh nothing too, which both do only when
  // every byte is 0. Every filtered byte is 0 either way.
  if (n > 0 && std::memcmp(raw, prev, n) == 0) {
    out[0] = std::all_of(raw, raw + n, [](uint8_t v) { return v == 0; }) ? kNone : kUp;
    std::memset(out + 1, 0, n);
    return;
  }
  std::size_t cost[5] = {};
  FilterCosts(raw, prev, n, bpp, cost);
  int best = 0;
  for (int f = 1; f < 5; ++f)
    if (cost[f] < cost[best]) best = f;
  WriteFiltered(static_cast<Filter>(best), raw, prev, n, bpp, out);
}

unsigned ThreadCount() { return std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads)); }

unsigned BandCount(const Image& img) {
  const std::size_t bytes = img.rowBytes() * img.height;
  if (bytes < kMinParallelBytes) return 1;
  const auto bySize = static_cast<unsigned>(std::min<std::size_t>((bytes + kBandBytes - 1) / kBandBytes, img.height));
  return std::max(1u, std::min(std::max(ThreadCount(), bySize), img.height / kMinBandRows));
}

// Filters the rows [first, last) into `out`, row y at (y - first) * (rowBytes + 1).
void FilterRows(const Image& img, uint32_t first, uint32_t last, uint8_t* out) {
  const std::size_t stride = img.rowBytes() + 1;
  std::vector<uint8_t> prev(img.rowBytes(), 0), raw(img.rowBytes());
  if (first > 0) ConvertRow(img, first - 1, prev.data());
  for (uint32_t y = first; y < last; ++y) {
    ConvertRow(img, y, raw.data());
    FilterRow(raw.data(), prev.data(), img.rowBytes(), static_cast<std::size_t>(img.channels),
              out + std::size_t{y - first} * stride);
    std::swap(prev, raw);
  }
}

// The larger pages (above 4096 x 1024 RGBA) are deflated with the faster effort: on a dense 4096 x
// 4096 CJK page it takes about half the time for a stream about 7 % longer (8.05 MB against
// 7.52 MB), about what libdeflate's level 1 gives (7.90 MB) and well below libpng's level 6 (11.4 MB).
constexpr std::size_t kLargeFilteredBytes = std::size_t{16} << 20;

// One band of rows, filtered and deflated on its own: its blocks, and the Adler-32 of its filtered
// bytes.
struct Band {
  uint32_t first = 0;
  uint32_t last = 0;
  std::vector<uint8_t> blocks;
  uint32_t adler = 1;
  std::exception_ptr error;
};

// The band is filtered a slice of rows at a time into one buffer, each slice deflated while it is
// fresh in the cache, after the last kDeflateWindow bytes of the slices before it, which its
// matches may reach. A whole band's filtered rows would be tens of megabytes of new memory.
constexpr std::size_t kSliceBytes = std::size_t{1} << 20;

// `buffer`: the thread's slice buffer, made for its first band and used again for the next ones.
void EncodeBand(const Image& img, bool final, DeflateEffort effort, Band& band, std::unique_ptr<uint8_t[]>& buffer) {
  try {
    const std::size_t stride = img.rowBytes() + 1;
    const std::size_t sliceRows = std::max<std::size_t>(1, kSliceBytes / stride);
    if (!buffer) buffer = std::make_unique_for_overwrite<uint8_t[]>(kDeflateWindow + sliceRows * stride);
    band.blocks.reserve(band.blocks.size() + stride * (band.last - band.first) / 2 + 4096);
    DeflateWriter writer(effort, band.blocks);
    std::size_t kept = 0;  // bytes of the slices before, at the start of the buffer
    for (uint32_t y = band.first; y < band.last;) {
      const auto rows = static_cast<uint32_t>(std::min<std::size_t>(sliceRows, band.last - y));
      uint8_t* slice = buffer.get() + kept;
      const std::size_t bytes = stride * rows;
      FilterRows(img, y, y + rows, slice);
      band.adler = libdeflate_adler32(band.adler, slice, bytes);
      writer.write(slice, bytes, kept);
      const std::size_t next = std::min(kDeflateWindow, kept + bytes);
      std::memmove(buffer.get(), slice + bytes - next, next);
      kept = next;
      y += rows;
    }
    writer.end(final);
  } catch (...) {
    band.error = std::current_exception();
  }
}

// Filters and deflates every row, bands of rows on separate threads: each row's filter depends
// only on its own and the previous row's pixels, and each band's blocks reach no data of the band
// before, so the bands are independent. The first band's blocks follow the zlib header; the last
// band's blocks are followed by the Adler-32 of the whole.
std::vector<Band> EncodeImage(const Image& img) {
  const unsigned count = BandCount(img);
  const DeflateEffort effort =
      (img.rowBytes() + 1) * img.height <= kLargeFilteredBytes ? DeflateEffort::kSmallest : DeflateEffort::kFastest;
  std::vector<Band> bands(count);
  for (unsigned b = 0; b < count; ++b) {
    bands[b].first = static_cast<uint32_t>(uint64_t{img.height} * b / count);
    bands[b].last = static_cast<uint32_t>(uint64_t{img.height} * (b + 1) / count);
  }
  PutZlibHeader(bands[0].blocks);
  std::atomic<unsigned> next{0};
  auto work = [&] {
    std::unique_ptr<uint8_t[]> buffer;
    for (unsigned b = next++; b < count; b = next++) EncodeBand(img, b + 1 == count, effort, bands[b], buffer);
  };
  std::vector<std::thread> workers;
  try {
    for (unsigned t = 1; t < std::min(ThreadCount(), count); ++t) workers.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: the ones started and this one take every band between them.
  }
  work();
  for (std::thread& t : workers) t.join();
  uint32_t adler = bands[0].adler;
  for (const Band& band : bands) {
    if (band.error) std::rethrow_exception(band.error);
    if (&band != &bands[0])
      adler = static_cast<uint32_t>(
          adler32_combine(adler, band.adler, static_cast<z_off_t>((img.rowBytes() + 1) * (band.last - band.first))));
  }
  PutAdler32(adler, bands.back().blocks);
  return bands;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                         static_cast<uint8_t>(v)});
}

// Appends one chunk (length, type, data, CRC of type and data).
void PutChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, std::size_t size) {
  PutU32(out, static_cast<uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  PutU32(out, static_cast<uint32_t>(crc32(0, out.data() + typeAt, static_cast<uInt>(size + 4))));
}

}  // namespace

void WritePng(PendingFile& file, uint32_t width, uint32_t height, const uint8_t* bgr, const uint8_t* alpha) {
  if (width == 0 || height == 0) throw std::runtime_error(EmptyTextureMessage(width, height));
  if (bgr == nullptr && alpha == nullptr) throw std::runtime_error(NoImageBufferMessage());
  const Image img{width, height, bgr, alpha, bgr != nullptr && alpha != nullptr ? 4 : bgr != nullptr ? 3 : 1};
  if (img.rowBytes() + 1 > UINT32_MAX / 2)
    throw std::runtime_error(PngEncodeMessage(file.targetPath(), "image too wide"));

  const std::vector<Band> bands = EncodeImage(img);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32(header, width);
  PutU32(header, height);
  const uint8_t colourType = img.channels == 4 ? 6 : img.channels == 3 ? 2 : 0;
  header.insert(header.end(), {8, colourType, 0, 0, 0});
  PutChunk(out, "IHDR", header.data(), header.size());
  file.write(out);

  for (const Band& band : bands) {
    for (std::size_t at = 0; at < band.blocks.size(); at += kMaxChunk) {
      out.clear();
      PutChunk(out, "IDAT", band.blocks.data() + at, std::min(kMaxChunk, band.blocks.size() - at));
      file.write(out);
    }
  }
  out.clear();
  PutChunk(out, "IEND", nullptr, 0);
  file.write(out);
}

}  // namespace glyphmill::plugins
