// A zlib stream (RFC 1950 around RFC 1951's deflate) made for filtered PNG rows of glyph pages.
//
// Such rows are mostly long runs of one byte (empty texture, filtered to zeros) with short stretches
// of glyph edges between them. A general compressor looks at every byte of a run in its match
// finder, so most of its time goes to the empty parts of a page. This one takes a run of the byte
// before it as one distance-1 match after a single comparison per eight bytes, and searches hash
// chains (of limited depth, with one step of lazy matching) only where the bytes change.
//
// Every block is a dynamic Huffman block whose codes are complete (Kraft sum exactly 1, at least two
// codes in each alphabet), limited to 15 bits (7 for the code-length alphabet), so any inflater
// reads it by the format's rules alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace glyphmill::plugins {

// Code lengths of a complete prefix code (Kraft sum exactly 1) for the counts `freq` of `n`
// symbols (n <= 286, at least two and at most 2^maxBits counts nonzero), none longer than `maxBits`: Huffman's lengths,
// with any longer codes folded into maxBits and the sum brought back to 1 by lengthening the
// longest codes that are still shorter. Unused symbols get 0; a rarer symbol never gets a shorter
// code than a more frequent one.
void HuffmanCodeLengths(const uint32_t* freq, int n, int maxBits, uint8_t* lengths);

// How far back a match may reach.
constexpr std::size_t kDeflateWindow = 32768;

// How hard the match finder looks. kSmallest searches deeper hash chains and waits a byte for a
// longer match; kFastest takes about half the time on a dense page, for a stream about 7 % longer.
enum class DeflateEffort { kSmallest, kFastest };

// Appends the zlib stream of the `size` bytes at `data` to `out` (header, deflate blocks, Adler-32).
void ZlibCompress(const uint8_t* data, std::size_t size, std::vector<uint8_t>& out,
                  DeflateEffort effort = DeflateEffort::kSmallest);

// A zlib stream whose data is deflated in parts, each part on its own (on separate threads), is
// its header, every part's blocks in order, then the Adler-32 of all the data.
void PutZlibHeader(std::vector<uint8_t>& out);
void PutAdler32(uint32_t adler, std::vector<uint8_t>& out);

// The deflate blocks of one part, appended to `out` as its data is given piece by piece.
class DeflateWriter {
 public:
  DeflateWriter(DeflateEffort effort, std::vector<uint8_t>& out);
  ~DeflateWriter();
  DeflateWriter(const DeflateWriter&) = delete;
  DeflateWriter& operator=(const DeflateWriter&) = delete;

  // Deflates the `size` bytes at `data`. Matches may reach the `history` bytes before `data`
  // (which must be this part's bytes given last; the kDeflateWindow nearest are looked at).
  void write(const uint8_t* data, std::size_t size, std::size_t history);
  // Ends the part: with a final block when it ends the stream, or else with an empty stored block
  // that leaves the blocks at a byte boundary (as a zlib sync flush does), so that the next part's
  // blocks can follow them.
  void end(bool final);

 private:
  struct State;
  std::vector<uint8_t>& out_;
  std::unique_ptr<State> state_;
};

}  // namespace glyphmill::plugins
