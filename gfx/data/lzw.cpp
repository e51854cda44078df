// Decoder of the 12-bit LZW stream that carries the built-in data: two codes
// in three bytes, least significant bits first; 0-255 literals, 256-4094
// dictionary entries assigned as decoding proceeds, 4095 the end.
#include <cstring>

#include "gfx/data/builtin_data.h"

namespace {

constexpr int kFirstDictionaryCode = 256;
constexpr int kLastDictionaryCode = 4094;
constexpr int kEndCode = 4095;
constexpr int kDictionarySize = 4096;
// A string of up to 4,095 bytes (4,094 dictionary steps and the literal),
// plus the extra first byte of a code that is not in the dictionary yet.
constexpr int kScratchSize = 4096;
constexpr int kMaxWalkSteps = 4094;

struct DictionaryEntry {
  uint16_t prefix;
  uint8_t suffix;
};

// Static so that decoding allocates nothing; cleared per decode so that a
// malformed stream that names an unassigned code reads zeros, never what an
// earlier decode left behind.
DictionaryEntry dictionary[kDictionarySize];
uint8_t scratch[kScratchSize];

// Pulls 12-bit codes from the packed bytes. A code needs at least one more
// byte beyond the current one; a lone trailing byte or nibble is no code.
class CodeReader {
 public:
  CodeReader(const uint8_t* source, int length) : source_(source), left_(length) {}

  // The first code: only its low 8 bits matter, so it needs just one byte.
  uint8_t first_byte() {
    left_ -= 1;
    return source_[0];
  }

  bool next(int* code) {
    if (left_ < 2) return false;
    const uint8_t* p = source_ + position_;
    if (high_half_) {
      *code = (p[0] >> 4) | (p[1] << 4);
      position_ += 2;
      left_ -= 2;
    } else {
      *code = p[0] | ((p[1] & 0x0F) << 8);
      position_ += 1;
      left_ -= 1;
    }
    high_half_ = !high_half_;
    return true;
  }

 private:
  const uint8_t* source_;
  int left_;  // bytes from the current one to the end, current included
  int position_ = 1;
  bool high_half_ = true;
};

// Gathers the string of code (reversed) at the end of the scratch buffer,
// leaving room for one extra byte after it. Returns the start, or -1 when
// the walk is longer than any consistent stream can make it.
int expand(int code) {
  int start = kScratchSize - 1;
  int steps = 0;
  while (code >= kFirstDictionaryCode) {
    if (steps == kMaxWalkSteps) return -1;
    ++steps;
    scratch[--start] = dictionary[code].suffix;
    code = dictionary[code].prefix;
  }
  scratch[--start] = static_cast<uint8_t>(code);
  return start;
}

}  // namespace

int lzw_decode(const uint8_t* source, int source_length, uint8_t* destination, int* size) {
  if (size == nullptr) return -1;
  const int capacity = *size;
  *size = 0;
  if (source == nullptr || source_length <= 0 || destination == nullptr || capacity <= 0) {
    return -1;
  }
  std::memset(dictionary, 0, sizeof(dictionary));

  CodeReader reader(source, source_length);
  int next_free = kFirstDictionaryCode;
  int previous = reader.first_byte();
  uint8_t first = static_cast<uint8_t>(previous);
  destination[0] = first;
  int written = 1;

  int code;
  while (reader.next(&code)) {
    if (code == kEndCode) {
      *size = written;
      return 0;
    }
    int start;
    int end = kScratchSize - 1;
    if (code < next_free) {
      start = expand(code);
    } else {
      // Not in the dictionary yet: the previous string and its own first
      // byte (the entry this very step is about to add).
      start = expand(previous);
      scratch[end++] = first;
    }
    if (start < 0) {
      *size = written;
      return -1;
    }
    for (int i = start; i < end; ++i) {
      if (written == capacity) {
        *size = written;
        return -1;
      }
      destination[written++] = scratch[i];
    }
    first = scratch[start];
    if (next_free <= kLastDictionaryCode) {
      dictionary[next_free].prefix = static_cast<uint16_t>(previous);
      dictionary[next_free].suffix = first;
      ++next_free;
    }
    previous = code;
  }
  *size = written;
  return -1;
}
