#include "plugins/common/deflate_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace glyphmill::plugins {
namespace {

constexpr int kMaxBits = 15;           // longest literal/length or distance code
constexpr int kMaxCodeLengthBits = 7;  // longest code of the code-length alphabet
constexpr int kLitLenSymbols = 286;    // 0..255 literals, 256 end of block, 257..285 lengths
constexpr int kDistanceSymbols = 30;
constexpr int kCodeLengthSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr std::size_t kWindow = kDeflateWindow;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr int kHashBits = 15;
constexpr std::size_t kGoodLength = 6;  // after a match this long, only kGoodTries more candidates
constexpr int kGoodTries = 3;
constexpr std::size_t kNiceLength = 96;  // a match this long is taken without looking further
constexpr std::size_t kInsertAll = 32;   // every position of a shorter match goes into the chains
constexpr std::size_t kTooFar = 4096;    // a 3-byte match further back costs more than 3 literals
constexpr std::size_t kBlockSymbols = std::size_t{1} << 15;
// Positions are kept in 32 bits: longer inputs are compressed in segments of this many bytes.
constexpr std::size_t kSegment = std::size_t{1} << 30;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The order in which the code-length alphabet's lengths are stored.
constexpr uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

// Each match length's index into kLengthBase.
struct LengthIndex {
  uint8_t of[kMaxMatch + 1] = {};
  constexpr LengthIndex() {
    for (int k = 0; k < 29; ++k) {
      const int last = k + 1 < 29 ? kLengthBase[k + 1] - 1 : 258;
      for (int len = kLengthBase[k]; len <= last && len <= 258; ++len) of[len] = static_cast<uint8_t>(k);
    }
    of[258] = 28;  // 258 has a code of its own; 227 + 31 would also reach it
  }
};
constexpr LengthIndex kLengthIndex;

int DistanceCode(uint32_t distance) {
  const uint32_t x = distance - 1;
  if (x < 4) return static_cast<int>(x);
  const int top = 31 - __builtin_clz(x);
  return 2 * top + static_cast<int>((x >> (top - 1)) & 1);
}
uint32_t DistanceBase(int code) {
  return code < 4 ? static_cast<uint32_t>(code) + 1 : ((2u + static_cast<uint32_t>(code & 1)) << (code / 2 - 1)) + 1;
}
int DistanceExtra(int code) { return code < 4 ? 0 : code / 2 - 1; }

// One LZ77 symbol: the literal byte `length` when `distance` is 0, else a match of `length` bytes
// starting `distance` bytes back.
struct Symbol {
  uint16_t length;
  uint16_t distance;
};

// Bits into bytes, least significant bit first, as deflate packs them.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void put(uint32_t bits, int count) {
    acc_ |= uint64_t{bits} << count_;
    count_ += count;
    if (count_ >= 32) {
      const auto word = static_cast<uint32_t>(acc_);
      out_.insert(out_.end(), {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                               static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)});
      acc_ >>= 32;
      count_ -= 32;
    }
  }
  // Pads the last byte with zero bits; what is put next starts at a byte boundary.
  void flush() {
    while (count_ > 0) {
      out_.push_back(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      count_ = std::max(count_ - 8, 0);
    }
    acc_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint64_t acc_ = 0;
  int count_ = 0;
};

// Gives unused symbols a count of 1 until at least two symbols are used, so that the code built
// for the alphabet is complete.
void AtLeastTwoUsed(uint32_t* freq, int n) {
  int used = static_cast<int>(std::count_if(freq, freq + n, [](uint32_t f) { return f > 0; }));
  for (int s = 0; s < n && used < 2; ++s)
    if (freq[s] == 0) {
      freq[s] = 1;
      ++used;
    }
}

struct Code {
  uint16_t bits = 0;  // reversed, ready for the least-significant-first bit order
  uint8_t length = 0;
};

// The canonical codes of the lengths.
void CanonicalCodes(const uint8_t* lengths, int n, Code* codes) {
  int count[kMaxBits + 1] = {};
  for (int s = 0; s < n; ++s) ++count[lengths[s]];
  count[0] = 0;
  uint32_t next[kMaxBits + 1] = {};
  uint32_t code = 0;
  for (int bits = 1; bits <= kMaxBits; ++bits) {
    code = (code + static_cast<uint32_t>(count[bits - 1])) << 1;
    next[bits] = code;
  }
  for (int s = 0; s < n; ++s) {
    const int len = lengths[s];
    codes[s] = {};
    if (len == 0) continue;
    const uint32_t c = next[len]++;
    uint32_t reversed = 0;
    for (int b = 0; b < len; ++b) reversed |= ((c >> b) & 1u) << (len - 1 - b);
    codes[s] = {static_cast<uint16_t>(reversed), static_cast<uint8_t>(len)};
  }
}

// A code length of the block header: a length 0..15, or 16 (repeat the last length 3..6 times),
// 17 (3..10 zeros), 18 (11..138 zeros) with its repeat count less the least.
struct LengthRun {
  uint8_t symbol;
  uint8_t extra;
};

std::vector<LengthRun> RunLengths(const uint8_t* lengths, std::size_t n) {
  std::vector<LengthRun> runs;
  for (std::size_t i = 0; i < n;) {
    const uint8_t v = lengths[i];
    std::size_t run = 1;
    while (i + run < n && lengths[i + run] == v) ++run;
    i += run;
    std::size_t left = run;
    if (v == 0) {
      for (; left >= 11; left -= std::min<std::size_t>(left, 138))
        runs.push_back({18, static_cast<uint8_t>(std::min<std::size_t>(left, 138) - 11)});
      if (left >= 3) {
        runs.push_back({17, static_cast<uint8_t>(left - 3)});
        left = 0;
      }
    } else {
      runs.push_back({v, 0});
      --left;
      for (; left >= 3; left -= std::min<std::size_t>(left, 6))
        runs.push_back({16, static_cast<uint8_t>(std::min<std::size_t>(left, 6) - 3)});
    }
    for (; left > 0; --left) runs.push_back({v, 0});
  }
  return runs;
}

// One dynamic Huffman block of `symbols`, then its end-of-block code.
void WriteBlock(BitWriter& w, const std::vector<Symbol>& symbols, bool final) {
  uint32_t litFreq[kLitLenSymbols] = {}, distFreq[kDistanceSymbols] = {};
  for (const Symbol& s : symbols) {
    if (s.distance == 0) {
      ++litFreq[s.length];
    } else {
      ++litFreq[257 + kLengthIndex.of[s.length]];
      ++distFreq[DistanceCode(s.distance)];
    }
  }
  litFreq[kEndOfBlock] = 1;
  AtLeastTwoUsed(litFreq, kLitLenSymbols);
  AtLeastTwoUsed(distFreq, kDistanceSymbols);
  uint8_t lengths[kLitLenSymbols + kDistanceSymbols];
  uint8_t* litLen = lengths;
  uint8_t distLen[kDistanceSymbols];
  HuffmanCodeLengths(litFreq, kLitLenSymbols, kMaxBits, litLen);
  HuffmanCodeLengths(distFreq, kDistanceSymbols, kMaxBits, distLen);
  Code litCode[kLitLenSymbols], distCode[kDistanceSymbols];
  CanonicalCodes(litLen, kLitLenSymbols, litCode);
  CanonicalCodes(distLen, kDistanceSymbols, distCode);
  int hlit = kLitLenSymbols;
  while (hlit > 257 && litLen[hlit - 1] == 0) --hlit;
  int hdist = kDistanceSymbols;
  while (hdist > 1 && distLen[hdist - 1] == 0) --hdist;
  // The header stores both alphabets' lengths as one sequence (litLen's unused tail is overwritten).
  std::memcpy(lengths + hlit, distLen, static_cast<std::size_t>(hdist));
  const std::vector<LengthRun> runs = RunLengths(lengths, static_cast<std::size_t>(hlit + hdist));

  uint32_t runFreq[kCodeLengthSymbols] = {};
  for (const LengthRun& r : runs) ++runFreq[r.symbol];
  AtLeastTwoUsed(runFreq, kCodeLengthSymbols);
  uint8_t runLen[kCodeLengthSymbols];
  HuffmanCodeLengths(runFreq, kCodeLengthSymbols, kMaxCodeLengthBits, runLen);
  Code runCode[kCodeLengthSymbols];
  CanonicalCodes(runLen, kCodeLengthSymbols, runCode);
  int hclen = kCodeLengthSymbols;
  while (hclen > 4 && runLen[kCodeLengthOrder[hclen - 1]] == 0) --hclen;

  w.put(final ? 1 : 0, 1);
  w.put(2, 2);  // dynamic Huffman codes
  w.put(static_cast<uint32_t>(hlit - 257), 5);
  w.put(static_cast<uint32_t>(hdist - 1), 5);
  w.put(static_cast<uint32_t>(hclen - 4), 4);
  for (int k = 0; k < hclen; ++k) w.put(runLen[kCodeLengthOrder[k]], 3);
  for (const LengthRun& r : runs) {
    w.put(runCode[r.symbol].bits, runCode[r.symbol].length);
    if (r.symbol == 16) w.put(r.extra, 2);
    if (r.symbol == 17) w.put(r.extra, 3);
    if (r.symbol == 18) w.put(r.extra, 7);
  }

  for (const Symbol& s : symbols) {
    if (s.distance == 0) {
      w.put(litCode[s.length].bits, litCode[s.length].length);
      continue;
    }
    const int li = kLengthIndex.of[s.length];
    w.put(litCode[257 + li].bits, litCode[257 + li].length);
    if (kLengthExtra[li] > 0) w.put(s.length - kLengthBase[li], kLengthExtra[li]);
    const int dc = DistanceCode(s.distance);
    w.put(distCode[dc].bits, distCode[dc].length);
    if (DistanceExtra(dc) > 0) w.put(s.distance - DistanceBase(dc), DistanceExtra(dc));
  }
  w.put(litCode[kEndOfBlock].bits, litCode[kEndOfBlock].length);
}

uint64_t Load8(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// How many of the first `limit` bytes at `a` and `b` are equal.
std::size_t MatchLength(const uint8_t* a, const uint8_t* b, std::size_t limit) {
  std::size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    const uint64_t x = Load8(a + n) ^ Load8(b + n);
    if (x != 0) return n + static_cast<std::size_t>(__builtin_ctzll(x)) / 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// How many of the first `limit` bytes at `p` are `byte`.
std::size_t RunLength(const uint8_t* p, std::size_t limit, uint8_t byte) {
  const uint64_t pattern = uint64_t{byte} * 0x0101010101010101ull;
  std::size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    const uint64_t x = Load8(p + n) ^ pattern;
    if (x != 0) return n + static_cast<std::size_t>(__builtin_ctzll(x)) / 8;
  }
  while (n < limit && p[n] == byte) ++n;
  return n;
}

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

// LZ77 over one segment, with hash chains of 3-byte prefixes.
class MatchFinder {
 public:
  MatchFinder(const uint8_t* data, std::size_t size, int maxChain)
      : data_(data),
        size_(size),
        maxChain_(maxChain),
        head_(std::make_unique<uint32_t[]>(std::size_t{1} << kHashBits)),
        prev_(std::make_unique_for_overwrite<uint32_t[]>(kWindow)) {}

  // Puts position i into the chains (when 3 bytes remain from it).
  void insert(std::size_t i) {
    if (i + kMinMatch > size_) return;
    uint32_t& h = head_[hash(i)];
    prev_[i & (kWindow - 1)] = h;
    h = static_cast<uint32_t>(i + 1);
  }

  // The longest match for position i among the chain's nearest candidates; puts i in the chains.
  Match find(std::size_t i) {
    Match best;
    if (i + kMinMatch > size_) return best;
    uint32_t& h = head_[hash(i)];
    uint32_t candidate = h;
    prev_[i & (kWindow - 1)] = h;
    h = static_cast<uint32_t>(i + 1);
    const std::size_t limit = std::min(kMaxMatch, size_ - i);
    const uint8_t* here = data_ + i;
    // A chain's entries were written no more than a window ago, so each is read before the
    // position after it a window later could overwrite it.
    for (int tries = maxChain_; candidate != 0 && tries > 0; --tries) {
      const std::size_t c = candidate - 1;
      const std::size_t distance = i - c;
      if (distance > kWindow) break;
      const uint8_t* there = data_ + c;
      if (there[best.length] == here[best.length] && there[0] == here[0]) {
        const std::size_t len = MatchLength(there, here, limit);
        if (len > best.length && (len > kMinMatch || distance <= kTooFar)) {
          best = {len, distance};
          if (len >= kNiceLength || len == limit) break;
          if (len >= kGoodLength) tries = std::min(tries, kGoodTries + 1);
        }
      }
      candidate = prev_[c & (kWindow - 1)];
    }
    if (best.length < kMinMatch) best = {};
    return best;
  }

 private:
  std::size_t hash(std::size_t i) const {
    const uint32_t v = uint32_t{data_[i]} | uint32_t{data_[i + 1]} << 8 | uint32_t{data_[i + 2]} << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  const uint8_t* data_;
  std::size_t size_;
  int maxChain_;
  std::unique_ptr<uint32_t[]> head_;  // each hash's latest position + 1 (0: none)
  std::unique_ptr<uint32_t[]> prev_;  // each position's previous one with the same hash, + 1
};

// How hard the match finder looks: candidates tried at one position, and the length below which a
// match waits for a longer one at the next byte (0: every match is taken as found).
struct Effort {
  int maxChain;
  std::size_t lazyLength;
};

Effort EffortOf(DeflateEffort effort) { return effort == DeflateEffort::kSmallest ? Effort{24, 32} : Effort{8, 0}; }

// Deflate blocks, none of them final, for the bytes [history, size) of `data`; matches may reach
// the `history` bytes before them.
void CompressSegment(const uint8_t* data, std::size_t history, std::size_t size, Effort effort, BitWriter& w) {
  MatchFinder finder(data, size, effort.maxChain);
  for (std::size_t p = 0; p < history; ++p) finder.insert(p);
  std::vector<Symbol> symbols;
  symbols.reserve(kBlockSymbols + 1);
  auto literal = [&](std::size_t i) { symbols.push_back({data[i], 0}); };
  auto match = [&](const Match& m) {
    symbols.push_back({static_cast<uint16_t>(m.length), static_cast<uint16_t>(m.distance)});
  };
  // A match found at `held - 1` waits for the match at `held`, which may be longer.
  Match held;
  std::size_t i = history;
  while (i < size) {
    if (symbols.size() >= kBlockSymbols) {
      WriteBlock(w, symbols, false);
      symbols.clear();
    }
    if (held.length == 0 && i > 0 && i + kMinMatch <= size && data[i] == data[i - 1]) {
      const std::size_t run = RunLength(data + i, std::min(kMaxMatch, size - i), data[i - 1]);
      if (run >= kMinMatch) {
        match({run, 1});
        i += run;
        continue;
      }
    }
    const Match here = finder.find(i);
    if (held.length > 0) {
      if (here.length > held.length) {
        literal(i - 1);  // the later match is longer: the held one's first byte goes as a literal
        held = here;
        ++i;
        continue;
      }
      match(held);
      const std::size_t end = i - 1 + held.length;
      if (held.length <= kInsertAll)
        for (std::size_t p = i + 1; p < end; ++p) finder.insert(p);
      i = end;
      held = {};
      continue;
    }
    if (here.length == 0) {
      literal(i++);
    } else if (here.length >= effort.lazyLength) {
      match(here);
      const std::size_t end = i + here.length;
      if (here.length <= kInsertAll)
        for (std::size_t p = i + 1; p < end; ++p) finder.insert(p);
      i = end;
    } else {
      held = here;
      ++i;
    }
  }
  if (held.length > 0) match(held);
  if (!symbols.empty()) WriteBlock(w, symbols, false);
}

}  // namespace

void HuffmanCodeLengths(const uint32_t* freq, int n, int maxBits, uint8_t* lengths) {
  std::fill(lengths, lengths + n, 0);
  std::pair<uint32_t, int> used[kLitLenSymbols];
  int m = 0;
  for (int s = 0; s < n; ++s)
    if (freq[s] > 0) used[m++] = {freq[s], s};
  std::sort(used, used + m);
  // Huffman's tree by two queues: the leaves in order of count, then the inner nodes in the order
  // they are made (which is also in order of weight).
  uint64_t weight[2 * kLitLenSymbols];
  int parent[2 * kLitLenSymbols];
  for (int k = 0; k < m; ++k) weight[k] = used[k].first;
  int leaf = 0, inner = m;
  for (int k = m; k < 2 * m - 1; ++k) {
    int pick[2];
    for (int& p : pick) p = (leaf < m && (inner >= k || weight[leaf] <= weight[inner])) ? leaf++ : inner++;
    weight[k] = weight[pick[0]] + weight[pick[1]];
    parent[pick[0]] = parent[pick[1]] = k;
  }
  int depth[2 * kLitLenSymbols];
  depth[2 * m - 2] = 0;
  int count[2 * kLitLenSymbols] = {};
  for (int k = 2 * m - 3; k >= 0; --k) {
    depth[k] = depth[parent[k]] + 1;
    if (k < m) ++count[depth[k]];
  }
  for (int len = maxBits + 1; len < m; ++len) {
    count[maxBits] += count[len];
    count[len] = 0;
  }
  // Kraft sum in units of 2^-maxBits; each step takes one maxBits code away and splits a shorter
  // code into two one bit longer, which lowers the sum by one unit and keeps the number of codes.
  uint64_t kraft = 0;
  for (int len = 1; len <= maxBits; ++len) kraft += uint64_t{static_cast<uint32_t>(count[len])} << (maxBits - len);
  while (kraft > (uint64_t{1} << maxBits)) {
    --count[maxBits];
    for (int len = maxBits - 1; len > 0; --len)
      if (count[len] > 0) {
        --count[len];
        count[len + 1] += 2;
        break;
      }
    --kraft;
  }
  // The rarest symbols get the longest codes.
  int k = 0;
  for (int len = maxBits; len >= 1; --len)
    for (int c = 0; c < count[len]; ++c) lengths[used[k++].second] = static_cast<uint8_t>(len);
}

void PutZlibHeader(std::vector<uint8_t>& out) {
  out.push_back(0x78);  // deflate with a 32 KiB window
  out.push_back(0x9C);  // default effort; the header's check bits make 0x789C a multiple of 31
}

struct DeflateWriter::State {
  State(std::vector<uint8_t>& out, DeflateEffort level) : bits(out), effort(EffortOf(level)) {}
  BitWriter bits;
  Effort effort;
};

DeflateWriter::DeflateWriter(DeflateEffort effort, std::vector<uint8_t>& out)
    : out_(out), state_(std::make_unique<State>(out, effort)) {}

DeflateWriter::~DeflateWriter() = default;

void DeflateWriter::write(const uint8_t* data, std::size_t size, std::size_t history) {
  std::size_t at = 0;
  do {
    const std::size_t reach = std::min(kWindow, history + at);
    const std::size_t n = std::min(kSegment, size - at);
    CompressSegment(data + at - reach, reach, reach + n, state_->effort, state_->bits);
    at += n;
  } while (at < size);
}

void DeflateWriter::end(bool final) {
  BitWriter& w = state_->bits;
  if (final) {
    // An empty block of the fixed codes: its header, then the end-of-block code (seven 0 bits).
    w.put(1, 1);
    w.put(1, 2);
    w.put(0, 7);
    w.flush();
    return;
  }
  // An empty stored block: its length fields start at a byte boundary, so the blocks end on one.
  w.put(0, 3);
  w.flush();
  out_.insert(out_.end(), {0x00, 0x00, 0xFF, 0xFF});
}

void PutAdler32(uint32_t adler, std::vector<uint8_t>& out) {
  out.insert(out.end(), {static_cast<uint8_t>(adler >> 24), static_cast<uint8_t>(adler >> 16),
                         static_cast<uint8_t>(adler >> 8), static_cast<uint8_t>(adler)});
}

void ZlibCompress(const uint8_t* data, std::size_t size, std::vector<uint8_t>& out, DeflateEffort effort) {
  PutZlibHeader(out);
  DeflateWriter writer(effort, out);
  writer.write(data, size, 0);
  writer.end(true);
  PutAdler32(libdeflate_adler32(1, data, size), out);
}

}  // namespace glyphmill::plugins
