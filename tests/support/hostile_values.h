// The int values that break careless code: the extremes, their neighbours,
// -1, 0 and the edges of the ranges the runtime uses (text grid, 8 and 16
// bits, the omitted-coordinate marker).
#pragma once

#include <climits>
#include <initializer_list>

namespace hostile {

inline constexpr int kInts[] = {INT_MIN, INT_MIN + 1, -65536, -32768, -2, -1, 0, 1, 2, 3,
                                24, 25, 26, 40, 255, 256, 32767, 65535, 65536, INT_MAX - 1,
                                INT_MAX};
// A shorter list for operations of three arguments.
inline constexpr int kFewInts[] = {INT_MIN, -32768, -1, 0, 1, 2, 25, 41, 65536, INT_MAX};

template <size_t N, typename F>
void for_each_value(const int (&values)[N], F&& f) {
  for (int v : values) f(v);
}

template <size_t N, typename F>
void for_each_pair(const int (&values)[N], F&& f) {
  for (int a : values)
    for (int b : values) f(a, b);
}

template <size_t N, typename F>
void for_each_triple(const int (&values)[N], F&& f) {
  for (int a : values)
    for (int b : values)
      for (int c : values) f(a, b, c);
}

}  // namespace hostile
