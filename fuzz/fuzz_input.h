// Reads the fuzzer's bytes as the choices and values of a run.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t length) : data_(data), length_(length) {}
  bool empty() const { return position_ >= length_; }
  uint8_t byte() { return position_ < length_ ? data_[position_++] : 0; }
  int below(int n) { return n > 0 ? byte() % n : 0; }
  // Up to count bytes straight from the input; count becomes what was had.
  const uint8_t* take(int* count) {
    const size_t left = length_ - (position_ < length_ ? position_ : length_);
    if (*count < 0) *count = 0;
    if (static_cast<size_t>(*count) > left) *count = static_cast<int>(left);
    const uint8_t* p = data_ + position_;
    position_ += static_cast<size_t>(*count);
    return p;
  }
  // An int that is mostly small, often an edge, sometimes anything.
  int value() {
    static constexpr int kEdges[] = {INT_MIN, INT_MIN + 1, -65536, -32768, -2, -1, 0, 1,
                                     65535, 65536, INT_MAX - 1, INT_MAX};
    const uint8_t selector = byte();
    if (selector < 96) return static_cast<int>(selector) - 16;
    if (selector < 192) return kEdges[selector % (sizeof kEdges / sizeof kEdges[0])];
    uint32_t raw = 0;
    for (int i = 0; i < 4; ++i) raw = raw << 8 | byte();
    int result;
    std::memcpy(&result, &raw, sizeof result);
    return result;
  }

 private:
  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
};
