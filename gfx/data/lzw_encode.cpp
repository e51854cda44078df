// Greedy 12-bit LZW encoder, the counterpart of lzw_decode.
#include "gfx/data/lzw_encode.h"

#include <cstddef>
#include <unordered_map>

namespace {

constexpr int kFirstDictionaryCode = 256;
constexpr int kLastDictionaryCode = 4094;
constexpr int kEndCode = 4095;

// Two codes in three bytes, least significant bits first; an odd last code
// takes one byte and the low nibble of the next.
void pack_codes(const std::vector<uint16_t>& codes, std::vector<uint8_t>* out) {
  out->reserve(codes.size() * 3 / 2 + 2);
  std::size_t i = 0;
  for (; i + 1 < codes.size(); i += 2) {
    out->push_back(static_cast<uint8_t>(codes[i]));
    out->push_back(static_cast<uint8_t>((codes[i] >> 8) | ((codes[i + 1] & 0x0F) << 4)));
    out->push_back(static_cast<uint8_t>(codes[i + 1] >> 4));
  }
  if (i < codes.size()) {
    out->push_back(static_cast<uint8_t>(codes[i]));
    out->push_back(static_cast<uint8_t>(codes[i] >> 8));
  }
}

}  // namespace

LzwEncoded lzw_encode(const uint8_t* data, int length) {
  LzwEncoded result;
  if (data == nullptr || length <= 0) return result;

  // (prefix code << 8 | next byte) -> code of the longer string
  std::unordered_map<uint32_t, uint16_t> dictionary;
  std::vector<uint16_t> codes;
  int next_free = kFirstDictionaryCode;
  uint32_t match = data[0];
  for (int i = 1; i < length; ++i) {
    const uint32_t key = match << 8 | data[i];
    const auto found = dictionary.find(key);
    if (found != dictionary.end()) {
      match = found->second;
      continue;
    }
    codes.push_back(static_cast<uint16_t>(match));
    if (next_free <= kLastDictionaryCode) {
      dictionary.emplace(key, static_cast<uint16_t>(next_free++));
    }
    match = data[i];
  }
  codes.push_back(static_cast<uint16_t>(match));
  codes.push_back(kEndCode);

  pack_codes(codes, &result.bytes);
  result.code_count = static_cast<int>(codes.size());
  result.highest_code = next_free - 1;
  return result;
}
