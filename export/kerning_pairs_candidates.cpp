#include "export/kerning_pairs_candidates.h"

#include <hb-aat.h>
#include <hb-ot.h>

#include <algorithm>
#include <bit>
#include <memory>

#include "export/harfbuzz_handles.h"

namespace glyphmill {

namespace {

// A font table as big-endian fields at absolute positions. The data comes from an arbitrary font
// file: every read outside the table gives 0, so a damaged table yields fewer pairs, never a read
// past its end.
class Table {
 public:
  explicit Table(hb_blob_t* blob) {
    unsigned length = 0;
    data_ = reinterpret_cast<const uint8_t*>(hb_blob_get_data(blob, &length));
    size_ = data_ != nullptr ? length : 0;
  }
  bool empty() const { return size_ == 0; }
  bool has(std::size_t at, std::size_t length) const { return at <= size_ && length <= size_ - at; }
  uint16_t u16(std::size_t at) const { return has(at, 2) ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1]) : 0; }
  int16_t s16(std::size_t at) const { return static_cast<int16_t>(u16(at)); }
  uint32_t u32(std::size_t at) const { return static_cast<uint32_t>(u16(at)) << 16 | u16(at + 2); }
  // True when any of `length` bytes from `at` is nonzero (bytes outside the table count as 0).
  bool anyNonzero(std::size_t at, std::size_t length) const {
    if (!has(at, 0)) return false;
    const std::size_t end = std::min(size_, at + length);
    return std::any_of(data_ + at, data_ + end, [](uint8_t b) { return b != 0; });
  }

 private:
  const uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

using PairList = std::vector<std::pair<hb_codepoint_t, hb_codepoint_t>>;

// Calls f(glyph, coverageIndex) for every glyph of a Coverage table.
template <typename F>
void ForEachCovered(const Table& t, std::size_t coverage, F&& f) {
  const uint16_t format = t.u16(coverage);
  if (format == 1) {
    const uint16_t count = t.u16(coverage + 2);
    for (uint32_t i = 0; i < count; ++i) f(hb_codepoint_t{t.u16(coverage + 4 + 2 * std::size_t{i})}, i);
  } else if (format == 2) {
    const uint16_t ranges = t.u16(coverage + 2);
    for (uint32_t r = 0; r < ranges; ++r) {
      const std::size_t at = coverage + 4 + 6 * std::size_t{r};
      const uint32_t start = t.u16(at), end = t.u16(at + 2), first = t.u16(at + 4);
      for (uint32_t g = start; g <= end; ++g) f(hb_codepoint_t{g}, first + (g - start));
    }
  }
}

// The class a ClassDef table gives a glyph; 0 for glyphs it does not list.
uint32_t ClassOf(const Table& t, std::size_t classDef, hb_codepoint_t glyph) {
  const uint16_t format = t.u16(classDef);
  if (format == 1) {
    const uint32_t start = t.u16(classDef + 2), count = t.u16(classDef + 4);
    if (glyph < start || glyph - start >= count) return 0;
    return t.u16(classDef + 6 + 2 * std::size_t{glyph - start});
  }
  if (format == 2) {
    // Ranges are sorted by start glyph: find the last one starting at or before the glyph.
    uint32_t lo = 0, hi = t.u16(classDef + 2);
    while (lo < hi) {
      const uint32_t mid = (lo + hi) / 2;
      if (t.u16(classDef + 4 + 6 * std::size_t{mid}) <= glyph)
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == 0) return 0;
    const std::size_t at = classDef + 4 + 6 * std::size_t{lo - 1};
    return glyph <= t.u16(at + 2) ? t.u16(at + 4) : 0;
  }
  return 0;
}

// Size in bytes of a ValueRecord of the given ValueFormat: two bytes per flag set.
std::size_t ValueRecordSize(uint16_t valueFormat) { return 2 * static_cast<std::size_t>(std::popcount(valueFormat)); }

// PairPos format 1: each covered first glyph lists its second glyphs.
void AddSpecificPairs(const Table& t, std::size_t sub, const SelectedGlyphs& selected, PairList& out) {
  const std::size_t coverage = sub + t.u16(sub + 2);
  const std::size_t values = ValueRecordSize(t.u16(sub + 4)) + ValueRecordSize(t.u16(sub + 6));
  const uint16_t setCount = t.u16(sub + 8);
  ForEachCovered(t, coverage, [&](hb_codepoint_t first, uint32_t index) {
    if (index >= setCount || !selected.contains(first)) return;
    const std::size_t set = sub + t.u16(sub + 10 + 2 * std::size_t{index});
    const uint16_t count = t.u16(set);
    for (uint32_t k = 0; k < count; ++k) {
      const std::size_t record = set + 2 + k * (2 + values);
      const hb_codepoint_t second = t.u16(record);
      if (selected.contains(second) && t.anyNonzero(record + 2, values)) out.emplace_back(first, second);
    }
  });
}

// PairPos format 2: covered first glyphs pair with every second glyph of each class whose
// adjustment in the first glyph's class row is nonzero.
void AddClassPairs(const Table& t, std::size_t sub, const SelectedGlyphs& selected, PairList& out) {
  const std::size_t coverage = sub + t.u16(sub + 2);
  const std::size_t values = ValueRecordSize(t.u16(sub + 4)) + ValueRecordSize(t.u16(sub + 6));
  const std::size_t classDef1 = sub + t.u16(sub + 8);
  const std::size_t classDef2 = sub + t.u16(sub + 10);
  const uint32_t class1Count = t.u16(sub + 12), class2Count = t.u16(sub + 14);
  if (class2Count == 0) return;
  const std::size_t rows = sub + 16;

  // The selected glyphs by second class, built once for the subtable.
  std::vector<std::vector<hb_codepoint_t>> byClass(class2Count);
  for (hb_codepoint_t g : selected.glyphs()) {
    const uint32_t c = ClassOf(t, classDef2, g);
    if (c < class2Count) byClass[c].push_back(g);
  }
  ForEachCovered(t, coverage, [&](hb_codepoint_t first, uint32_t) {
    if (!selected.contains(first)) return;
    const uint32_t c1 = ClassOf(t, classDef1, first);
    if (c1 >= class1Count) return;
    const std::size_t row = rows + std::size_t{c1} * class2Count * values;
    for (uint32_t c2 = 0; c2 < class2Count; ++c2) {
      if (byClass[c2].empty() || !t.anyNonzero(row + c2 * values, values)) continue;
      for (hb_codepoint_t second : byClass[c2]) out.emplace_back(first, second);
    }
  });
}

// Every ordered pair of the selected glyphs among `glyphs`.
void AddEveryPairAmong(hb_set_t* glyphs, const SelectedGlyphs& selected, PairList& out) {
  std::vector<hb_codepoint_t> named;
  for (hb_codepoint_t g : selected.glyphs()) {
    if (hb_set_has(glyphs, g)) named.push_back(g);
  }
  for (hb_codepoint_t a : named)
    for (hb_codepoint_t b : named) out.emplace_back(a, b);
}

constexpr uint16_t kPairAdjustment = 2;
constexpr uint16_t kExtension = 9;

// The pairs of the GPOS lookups of the kerning features.
void AddGposPairs(hb_face_t* face, const SelectedGlyphs& selected, PairList& out) {
  HbSetPtr lookups(hb_set_create());
  const hb_tag_t features[] = {HB_TAG('k', 'e', 'r', 'n'), HB_TAG('d', 'i', 's', 't'), HB_TAG_NONE};
  hb_ot_layout_collect_lookups(face, HB_OT_TAG_GPOS, nullptr, nullptr, features, lookups.get());
  if (hb_set_is_empty(lookups.get())) return;
  HbBlobPtr blob(hb_face_reference_table(face, HB_OT_TAG_GPOS));
  const Table t(blob.get());
  const std::size_t lookupList = t.u16(8);
  const uint16_t lookupCount = t.u16(lookupList);

  hb_codepoint_t index = HB_SET_VALUE_INVALID;
  while (hb_set_next(lookups.get(), &index)) {
    if (index >= lookupCount) continue;
    const std::size_t lookup = lookupList + t.u16(lookupList + 2 + 2 * std::size_t{index});
    const uint16_t lookupType = t.u16(lookup);
    const uint16_t subtables = t.u16(lookup + 4);
    bool other = false;
    for (uint32_t k = 0; k < subtables; ++k) {
      std::size_t sub = lookup + t.u16(lookup + 6 + 2 * std::size_t{k});
      uint16_t type = lookupType;
      if (type == kExtension) {
        type = t.u16(sub + 2);
        sub += t.u32(sub + 4);
      }
      if (type != kPairAdjustment) {
        other = true;
        continue;
      }
      const uint16_t format = t.u16(sub);
      if (format == 1)
        AddSpecificPairs(t, sub, selected, out);
      else if (format == 2)
        AddClassPairs(t, sub, selected, out);
    }
    if (other) {
      // Contextual, cursive or single adjustments: any of the glyphs they name may move.
      HbSetPtr glyphs(hb_set_create());
      hb_ot_layout_lookup_collect_glyphs(face, HB_OT_TAG_GPOS, index, glyphs.get(), glyphs.get(), glyphs.get(),
                                         nullptr);
      AddEveryPairAmong(glyphs.get(), selected, out);
    }
  }
}

// Appends the pairs of one format 0 'kern' subtable whose pair list starts at `at`.
void AddKernFormat0Pairs(const Table& t, std::size_t at, const SelectedGlyphs& selected, PairList& out) {
  const uint16_t count = t.u16(at);
  for (uint32_t k = 0; k < count; ++k) {
    const std::size_t pair = at + 8 + 6 * std::size_t{k};
    const hb_codepoint_t left = t.u16(pair), right = t.u16(pair + 2);
    if (t.s16(pair + 4) != 0 && selected.contains(left) && selected.contains(right)) out.emplace_back(left, right);
  }
}

// The pairs of an OpenType (version 0) 'kern' table. Returns false when a horizontal subtable
// kerns in a form other than a format 0 pair list.
bool AddOpenTypeKernPairs(const Table& t, const SelectedGlyphs& selected, PairList& out) {
  bool readable = true;
  const uint16_t tables = t.u16(2);
  std::size_t at = 4;
  for (uint32_t n = 0; n < tables && t.has(at, 6); ++n) {
    const uint16_t coverage = t.u16(at + 4);
    const bool horizontal = (coverage & 0x01) != 0, crossStream = (coverage & 0x04) != 0;
    const uint16_t format = coverage >> 8;
    if (format == 0) {
      if (horizontal && !crossStream) AddKernFormat0Pairs(t, at + 6, selected, out);
      // The stored length is 16 bits and overflows for long pair lists: use the list's own size.
      at += 6 + 8 + 6 * std::size_t{t.u16(at + 6)};
    } else {
      if (horizontal) readable = false;
      at += std::max<std::size_t>(t.u16(at + 2), 6);
    }
  }
  return readable;
}

// The pairs of an Apple (version 1) 'kern' table, whose subtables carry 32-bit lengths and a
// coverage word of their own layout. Returns false as AddOpenTypeKernPairs does.
bool AddAppleKernPairs(const Table& t, const SelectedGlyphs& selected, PairList& out) {
  bool readable = true;
  const uint32_t tables = t.u32(4);
  std::size_t at = 8;
  for (uint32_t n = 0; n < tables && t.has(at, 8); ++n) {
    const uint32_t length = t.u32(at);
    const uint16_t coverage = t.u16(at + 4);
    const bool horizontal = (coverage & 0x8000) == 0, crossStream = (coverage & 0x4000) != 0;
    if ((coverage & 0xFF) == 0) {
      if (horizontal && !crossStream) AddKernFormat0Pairs(t, at + 8, selected, out);
    } else if (horizontal) {
      readable = false;
    }
    if (length < 8) break;
    at += length;
  }
  return readable;
}

// The pairs of the legacy 'kern' table (OpenType version 0 or Apple version 1 headers). Returns
// false when the table kerns in a form other than horizontal format 0 pair lists.
bool AddKernTablePairs(hb_face_t* face, const SelectedGlyphs& selected, PairList& out) {
  HbBlobPtr blob(hb_face_reference_table(face, HB_TAG('k', 'e', 'r', 'n')));
  const Table t(blob.get());
  if (t.empty()) return true;
  if (t.u16(0) == 0) return AddOpenTypeKernPairs(t, selected, out);
  if (t.u32(0) == 0x00010000) return AddAppleKernPairs(t, selected, out);
  return false;
}

// True when the GPOS feature list has a "kern" feature (under any script).
bool GposHasKernFeature(hb_face_t* face) {
  hb_tag_t tags[64];
  unsigned start = 0;
  for (;;) {
    unsigned count = sizeof tags / sizeof tags[0];
    const unsigned total = hb_ot_layout_table_get_feature_tags(face, HB_OT_TAG_GPOS, start, &count, tags);
    for (unsigned i = 0; i < count; ++i) {
      if (tags[i] == HB_TAG('k', 'e', 'r', 'n')) return true;
    }
    start += count;
    if (count == 0 || start >= total) return false;
  }
}

}  // namespace

SelectedGlyphs::SelectedGlyphs(unsigned glyphCount, const std::vector<hb_codepoint_t>& entryGlyphs)
    : count_(glyphCount), start_(std::size_t{glyphCount} + 1, 0) {
  for (hb_codepoint_t g : entryGlyphs) {
    if (g < count_) ++start_[g + 1];
  }
  for (unsigned g = 0; g < count_; ++g) {
    if (start_[g + 1] != 0) distinct_.push_back(g);
    start_[g + 1] += start_[g];
  }
  entries_.resize(start_[count_]);
  std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
  for (uint32_t i = 0; i < entryGlyphs.size(); ++i) {
    if (entryGlyphs[i] < count_) entries_[next[entryGlyphs[i]]++] = i;
  }
}

KerningCandidates FindKerningCandidates(hb_face_t* face, const SelectedGlyphs& selected) {
  KerningCandidates result;
  if (hb_aat_layout_has_positioning(face)) {
    result.everyPair = true;
    return result;
  }
  AddGposPairs(face, selected, result.pairs);
  // HarfBuzz applies the 'kern' table when GPOS has no kerning feature of its own.
  if (!GposHasKernFeature(face)) {
    if (!AddKernTablePairs(face, selected, result.pairs)) {
      result.everyPair = true;
      result.pairs.clear();
      return result;
    }
  }
  std::sort(result.pairs.begin(), result.pairs.end());
  result.pairs.erase(std::unique(result.pairs.begin(), result.pairs.end()), result.pairs.end());
  return result;
}

}  // namespace glyphmill
