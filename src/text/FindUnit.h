#pragma once
// Finds one UTF-16 code unit, four at a time: scanning for the first
// character dominates literal replacement and the search's start skipping.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quorvane {

// Index of the first `c` in [from, n) of `s`, or n.
inline size_t FindUnit(const char16_t* s, size_t from, size_t n, char16_t c) {
  constexpr uint64_t kOnes = 0x0001000100010001ull;
  constexpr uint64_t kHighs = 0x8000800080008000ull;
  const uint64_t wanted = kOnes * c;
  size_t i = from;
  for (; i + 4 <= n; i += 4) {
    uint64_t word;
    std::memcpy(&word, s + i, sizeof word);
    const uint64_t x = word ^ wanted;
    if (((x - kOnes) & ~x & kHighs) != 0) break;  // some lane equals c
  }
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
