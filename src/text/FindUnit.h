#pragma once
// Finds one UTF-16 code unit, eight at a time with SSE2 (four at a time
// elsewhere): scanning for the first character dominates literal
// replacement and the search's start skipping.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

// Index of the first `c` in [from, n) of `s`, or n.
inline size_t FindUnit(const char16_t* s, size_t from, size_t n, char16_t c) {
  size_t i = from;
#if defined(__SSE2__)
  // A match in the first two blocks is found by the scalar loop below:
  // its result then comes from predicted branches, so that back-to-back
  // calls on text with close matches overlap instead of each waiting for
  // its loads. Farther matches take their index from the block's mask.
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
  for (size_t near = 0; i + 8 <= n; i += 8, ++near) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted)));
    if (lanes == 0) continue;
    if (near < 2) break;
    return i + static_cast<size_t>(__builtin_ctz(lanes)) / 2;
  }
#else
  constexpr uint64_t kOnes = 0x0001000100010001ull;
  constexpr uint64_t kHighs = 0x8000800080008000ull;
  const uint64_t wanted = kOnes * c;
  for (; i + 4 <= n; i += 4) {
    uint64_t word;
    std::memcpy(&word, s + i, sizeof word);
    const uint64_t x = word ^ wanted;
    if (((x - kOnes) & ~x & kHighs) != 0) break;  // some lane equals c
  }
#endif
  for (; i < n; ++i) {
    if (s[i] == c) return i;
  }
  return n;
}

// Whether the `count` units at `a` and `b` are the same. Written out: the
// literals compared after FindUnit are a few units long, where a call to
// memcmp costs more than the comparison.
inline bool SameUnits(const char16_t* a, const char16_t* b, size_t count) {
  for (size_t k = 0; k < count; ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

}  // namespace quorvane
