// Greedy encoder for the 12-bit LZW stream that lzw_decode reads; it makes
// the packed built-in data from the unpacked block.
#pragma once

#include <cstdint>
#include <vector>

struct LzwEncoded {
  std::vector<uint8_t> bytes;  // the packed stream
  int code_count = 0;          // codes written, end code included
  int highest_code = 255;      // last dictionary code assigned
};

// Longest dictionary match first, new entry = match + next byte, no entries
// past 4094, end code appended. Empty input gives an empty stream: the
// format has no way to say "no bytes".
LzwEncoded lzw_encode(const uint8_t* data, int length);
