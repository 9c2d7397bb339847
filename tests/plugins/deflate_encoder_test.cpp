// The run-aware zlib encoder of PNG pages, read back by zlib's own inflater (which refuses
// over-subscribed and incomplete Huffman codes, bad distances and a wrong Adler-32).
#include "plugins/common/deflate_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace glyphmill::plugins {
namespace {

// zlib's inflation of `stream`, which must be exactly `expected` bytes.
testing::AssertionResult InflatesTo(const std::vector<uint8_t>& stream, const std::vector<uint8_t>& expected) {
  std::vector<uint8_t> back(expected.size() + 1);
  uLongf size = back.size();
  const int rc = uncompress(back.data(), &size, stream.data(), stream.size());
  if (rc != Z_OK) return testing::AssertionFailure() << "zlib error " << rc;
  if (size != expected.size()) return testing::AssertionFailure() << size << " bytes instead of " << expected.size();
  const auto diff = std::mismatch(expected.begin(), expected.end(), back.begin()).first;
  if (diff != expected.end()) return testing::AssertionFailure() << "first difference at " << (diff - expected.begin());
  return testing::AssertionSuccess();
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& data, DeflateEffort effort = DeflateEffort::kSmallest) {
  std::vector<uint8_t> out;
  ZlibCompress(data.data(), data.size(), out, effort);
  return out;
}

// One zlib stream of `data` cut at `cuts` into parts, each part deflated by a writer of its own and
// given to it in pieces of `piece` bytes, each piece with the part's bytes before it as history.
std::vector<uint8_t> CompressedInParts(const std::vector<uint8_t>& data, const std::vector<std::size_t>& cuts,
                                       std::size_t piece, DeflateEffort effort) {
  std::vector<uint8_t> stream;
  PutZlibHeader(stream);
  std::vector<std::size_t> bounds = {0};
  bounds.insert(bounds.end(), cuts.begin(), cuts.end());
  bounds.push_back(data.size());
  uint32_t adler = adler32(0, nullptr, 0);
  for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
    std::vector<uint8_t> blocks;
    DeflateWriter writer(effort, blocks);
    for (std::size_t at = bounds[k]; at < bounds[k + 1]; at += piece)
      writer.write(data.data() + at, std::min(piece, bounds[k + 1] - at), at - bounds[k]);
    writer.end(k + 2 == bounds.size());
    stream.insert(stream.end(), blocks.begin(), blocks.end());
    adler = static_cast<uint32_t>(
        adler32_combine(adler, adler32(1, data.data() + bounds[k], static_cast<uInt>(bounds[k + 1] - bounds[k])),
                        static_cast<z_off_t>(bounds[k + 1] - bounds[k])));
  }
  PutAdler32(adler, stream);
  return stream;
}

// Filtered rows as a glyph page gives them: a filter byte, then RGBA pixels whose colour is one
// white (filtered to zeros) and whose alpha has short stretches of edges between empty runs.
std::vector<uint8_t> GlyphPageRows(uint32_t width, uint32_t rows, std::mt19937& rng) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < rows; ++y) {
    out.push_back(static_cast<uint8_t>(rng() % 5));
    const bool inked = y % 40 < 30;
    for (uint32_t x = 0; x < width; ++x) {
      out.insert(out.end(), {0, 0, 0});
      const bool edge = inked && x % 37 < 20 && rng() % 3 == 0;
      out.push_back(edge ? static_cast<uint8_t>(rng()) : 0);
    }
  }
  return out;
}

TEST(DeflateEncoder, EveryKindOfInputInflatesBackExactly) {
  std::mt19937 rng(7);
  struct Case {
    std::string what;
    std::vector<uint8_t> data;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"one byte", {42}});
  cases.push_back({"two bytes", {0, 0}});
  cases.push_back({"a short run", std::vector<uint8_t>(5, 9)});
  std::vector<uint8_t> random(300000);
  for (uint8_t& b : random) b = static_cast<uint8_t>(rng());
  cases.push_back({"random bytes, several blocks of literals", random});
  // Symbol k appears Fibonacci(k) times: Huffman's lengths would reach 24 bits, so the code must
  // be limited to 15 bits and still be complete.
  std::vector<uint8_t> fibonacci;
  for (uint32_t k = 0, a = 1, b = 1; k < 25; ++k, b = a + b, a = b - a)
    fibonacci.insert(fibonacci.end(), a, static_cast<uint8_t>(k * 10));
  std::shuffle(fibonacci.begin(), fibonacci.end(), rng);
  cases.push_back({"skewed counts", fibonacci});
  // Copies exactly a window back and one byte further, where no match may reach.
  std::vector<uint8_t> window(32768);
  for (uint8_t& b : window) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> repeated = window;
  repeated.insert(repeated.end(), window.begin(), window.end());
  repeated.push_back(1);
  repeated.insert(repeated.end(), window.begin(), window.end());
  cases.push_back({"copies at the window's edge", repeated});
  std::vector<uint8_t> patterned;
  for (int k = 0; k < 20000; ++k) patterned.insert(patterned.end(), {1, 2, 3, static_cast<uint8_t>(k % 7), 0, 0, 0, 0});
  cases.push_back({"short repeats at many distances", patterned});
  cases.push_back({"glyph page rows", GlyphPageRows(512, 512, rng)});
  for (const Case& c : cases) {
    EXPECT_TRUE(InflatesTo(Compressed(c.data), c.data)) << c.what;
    EXPECT_TRUE(InflatesTo(Compressed(c.data, DeflateEffort::kFastest), c.data)) << c.what << ", fastest";
  }
}

// Parts deflated on their own join into one stream: every part but the last ends at a byte
// boundary, none ends the stream early, and the pieces within a part may copy from the pieces
// before. An empty part, and cuts inside runs and inside repeats, are among the cases.
TEST(DeflateEncoder, PartsDeflatedApartJoinIntoOneStream) {
  std::mt19937 rng(13);
  const std::vector<uint8_t> rows = GlyphPageRows(600, 300, rng);
  for (DeflateEffort effort : {DeflateEffort::kSmallest, DeflateEffort::kFastest}) {
    for (std::size_t piece : {std::size_t{1000}, std::size_t{65536}, rows.size()}) {
      const std::vector<uint8_t> stream = CompressedInParts(rows, {100000, 100000, 250001, 500000}, piece, effort);
      EXPECT_TRUE(InflatesTo(stream, rows)) << "pieces of " << piece;
    }
    EXPECT_TRUE(InflatesTo(CompressedInParts({}, {}, 10, effort), {}));
    EXPECT_TRUE(InflatesTo(CompressedInParts({7}, {0, 1}, 10, effort), {7}));
  }
}

// A piece that repeats the one before it is a few long matches into its history, and is stored as
// such: it costs next to nothing once the first copy has been paid for.
TEST(DeflateEncoder, APieceCopiesFromTheHistoryGivenWithIt) {
  std::mt19937 rng(17);
  std::vector<uint8_t> noise(20000);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> twice = noise;
  twice.insert(twice.end(), noise.begin(), noise.end());
  for (DeflateEffort effort : {DeflateEffort::kSmallest, DeflateEffort::kFastest}) {
    const std::vector<uint8_t> withHistory = CompressedInParts(twice, {}, noise.size(), effort);
    const std::vector<uint8_t> apart = CompressedInParts(twice, {noise.size()}, noise.size(), effort);
    ASSERT_TRUE(InflatesTo(withHistory, twice));
    ASSERT_TRUE(InflatesTo(apart, twice));
    EXPECT_LT(withHistory.size(), noise.size() + noise.size() / 20);
    EXPECT_GT(apart.size(), 2 * noise.size() - noise.size() / 50) << "a new part reaches nothing before it";
  }
}

// Counts in the Fibonacci sequence make Huffman's code as deep as there are symbols less one.
TEST(DeflateEncoder, CodeLengthsAreLimitedCompleteAndOrderedByCount) {
  std::vector<uint32_t> counts;
  for (uint32_t a = 1, b = 1; counts.size() < 30; b = a + b, a = b - a) counts.push_back(a);
  std::mt19937 rng(5);
  for (auto [n, maxBits] : {std::pair{19, 7}, {30, 7}, {30, 15}, {286, 9}, {286, 15}}) {
    {
      for (int trial = 0; trial < 50; ++trial) {
        std::vector<uint32_t> freq(static_cast<std::size_t>(n), 0);
        for (int s = 0; s < n; ++s)
          if (rng() % 4 != 0)
            freq[static_cast<std::size_t>(s)] = trial % 2 ? counts[rng() % counts.size()] : rng() % 5000;
        freq[0] = std::max(freq[0], 1u);
        freq[1] = std::max(freq[1], 1u);
        std::vector<uint8_t> lengths(static_cast<std::size_t>(n));
        HuffmanCodeLengths(freq.data(), n, maxBits, lengths.data());
        uint64_t kraft = 0;  // in units of 2^-maxBits
        for (int s = 0; s < n; ++s) {
          const uint8_t len = lengths[static_cast<std::size_t>(s)];
          ASSERT_EQ(len > 0, freq[static_cast<std::size_t>(s)] > 0) << n << " symbol " << s;
          ASSERT_LE(len, maxBits);
          if (len > 0) kraft += uint64_t{1} << (maxBits - len);
          for (int t = 0; t < n; ++t) {
            if (freq[static_cast<std::size_t>(t)] > freq[static_cast<std::size_t>(s)] && len > 0) {
              ASSERT_LE(lengths[static_cast<std::size_t>(t)], len) << "a more frequent symbol has a longer code";
            }
          }
        }
        EXPECT_EQ(kraft, uint64_t{1} << maxBits) << "n " << n << " limit " << maxBits << " trial " << trial;
      }
    }
  }
}

TEST(DeflateEncoder, RunsCostAlmostNothingAndNoisePassesNearlyUnchanged) {
  const std::vector<uint8_t> empty(std::size_t{1} << 20, 0);
  const std::vector<uint8_t> zeros = Compressed(empty);
  ASSERT_TRUE(InflatesTo(zeros, empty));
  EXPECT_LT(zeros.size(), 2048u) << "a mebibyte of one byte is about four thousand longest matches";

  std::mt19937 rng(11);
  std::vector<uint8_t> noise(200000);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
  const std::vector<uint8_t> packed = Compressed(noise);
  ASSERT_TRUE(InflatesTo(packed, noise));
  EXPECT_LT(packed.size(), noise.size() + noise.size() / 100) << "incompressible input grows by under 1 %";
}

TEST(DeflateEncoder, GlyphPageRowsCompressAsWellAsZlibsDefault) {
  std::mt19937 rng(3);
  const std::vector<uint8_t> rows = GlyphPageRows(1024, 256, rng);
  const std::vector<uint8_t> ours = Compressed(rows);
  ASSERT_TRUE(InflatesTo(ours, rows));
  uLongf zlibSize = compressBound(rows.size());
  std::vector<uint8_t> theirs(zlibSize);
  ASSERT_EQ(compress2(theirs.data(), &zlibSize, rows.data(), rows.size(), Z_DEFAULT_COMPRESSION), Z_OK);
  EXPECT_LT(static_cast<double>(ours.size()), 1.03 * static_cast<double>(zlibSize));
}

}  // namespace
}  // namespace glyphmill::plugins
