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
#include <vector>

namespace glyphmill::plugins {

// Code lengths of a complete prefix code (Kraft sum exactly 1) for the counts `freq` of `n`
// symbols (n <= 286, at least two and at most 2^maxBits counts nonzero), none longer than `maxBits`: Huffman's lengths,
// with any longer codes folded into maxBits and the sum brought back to 1 by lengthening the
// longest codes that are still shorter. Unused symbols get 0; a rarer symbol never gets a shorter
// code than a more frequent one.
void HuffmanCodeLengths(const uint32_t* freq, int n, int maxBits, uint8_t* lengths);

// Appends the zlib stream of the `size` bytes at `data` to `out` (header, deflate blocks, Adler-32).
void ZlibCompress(const uint8_t* data, std::size_t size, std::vector<uint8_t>& out);

}  // namespace glyphmill::plugins
