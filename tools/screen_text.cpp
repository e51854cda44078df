// Reads a picture of the 320 x 200 screen (binary PPM) and prints the 40 x 25
// character grid drawn on it with the built-in 8 x 8 font, one row per line,
// trailing blanks removed. Lit pixels are glyph pixels. Bytes outside
// printable ASCII are written as \xNN; cells that match no glyph as '?'.
//
//   screen_text PICTURE.ppm [X Y]
//
// X Y give the top-left corner of the screen in the picture; without them a
// picture of exactly 320 x 200 is taken whole and a larger one is searched
// for the position where the most cells read as glyphs.
//
// Built for the host with the font data by tools/e2e/CMakeLists.txt.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "gfx/data/builtin_data.h"

namespace {

constexpr int kColumns = 40;
constexpr int kRows = 25;
constexpr int kScreenWidth = kColumns * 8;
constexpr int kScreenHeight = kRows * 8;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> lit;  // 1 per lit pixel
};

bool read_token(FILE* file, std::string* token) {
  token->clear();
  int c = std::fgetc(file);
  while (c != EOF) {
    if (c == '#') {
      while (c != EOF && c != '\n') c = std::fgetc(file);
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!token->empty()) return true;
    } else {
      token->push_back(static_cast<char>(c));
    }
    c = std::fgetc(file);
  }
  return !token->empty();
}

bool read_ppm(const char* path, Picture* picture) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  std::string magic, width, height, maximum;
  bool ok = read_token(file, &magic) && magic == "P6" && read_token(file, &width) &&
            read_token(file, &height) && read_token(file, &maximum);
  if (ok) {
    picture->width = std::atoi(width.c_str());
    picture->height = std::atoi(height.c_str());
    const int max_value = std::atoi(maximum.c_str());
    ok = picture->width > 0 && picture->height > 0 && max_value > 0 && max_value < 65536 &&
         picture->width < 100000 && picture->height < 100000;
    if (ok) {
      const size_t samples = max_value < 256 ? 1 : 2;
      const size_t count = static_cast<size_t>(picture->width) * picture->height;
      std::vector<uint8_t> raw(count * 3 * samples);
      ok = std::fread(raw.data(), 1, raw.size(), file) == raw.size();
      picture->lit.resize(count);
      for (size_t i = 0; ok && i < count; ++i) {
        unsigned sum = 0;
        for (int channel = 0; channel < 3; ++channel)
          sum += raw[(i * 3 + channel) * samples];  // most significant byte
        // Colour 0 is black and text colour 15 bright: half brightness splits them.
        picture->lit[i] = sum * 2 > 3u * (max_value < 256 ? max_value : 255) ? 1 : 0;
      }
    }
  }
  std::fclose(file);
  return ok;
}

uint64_t cell_pattern(const Picture& picture, int left, int top) {
  uint64_t pattern = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (picture.lit[static_cast<size_t>(top + y) * picture.width + left + x])
        pattern |= uint64_t{1} << (y * 8 + x);  // bit 0 of each row byte is leftmost
    }
  }
  return pattern;
}

std::map<uint64_t, int> glyph_patterns() {
  unpack_builtin_data();
  std::map<uint64_t, int> patterns;
  patterns[0] = ' ';
  for (int glyph = 255; glyph >= 0; --glyph) {
    uint64_t pattern = 0;
    for (int y = 0; y < 8; ++y) pattern |= uint64_t{font_8x8.data[glyph * 8 + y]} << (y * 8);
    if (pattern != 0) patterns[pattern] = glyph;  // the lowest glyph wins among look-alikes
  }
  return patterns;
}

int count_glyph_cells(const Picture& picture, int left, int top, const std::map<uint64_t, int>& glyphs) {
  int count = 0;
  for (int row = 0; row < kRows; ++row)
    for (int column = 0; column < kColumns; ++column) {
      const uint64_t pattern = cell_pattern(picture, left + column * 8, top + row * 8);
      if (pattern != 0 && glyphs.count(pattern)) ++count;
    }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: %s PICTURE.ppm [X Y]\n", argv[0]);
    return 2;
  }
  Picture picture;
  if (!read_ppm(argv[1], &picture)) {
    std::fprintf(stderr, "%s: cannot read a binary PPM from %s\n", argv[0], argv[1]);
    return 1;
  }
  if (picture.width < kScreenWidth || picture.height < kScreenHeight) {
    std::fprintf(stderr, "%s: the picture is %dx%d, smaller than the screen\n", argv[0],
                 picture.width, picture.height);
    return 1;
  }
  const std::map<uint64_t, int> glyphs = glyph_patterns();

  int left = 0, top = 0;
  if (argc == 4) {
    left = std::atoi(argv[2]);
    top = std::atoi(argv[3]);
    if (left < 0 || top < 0 || left + kScreenWidth > picture.width || top + kScreenHeight > picture.height) {
      std::fprintf(stderr, "%s: the screen at %d,%d does not fit the picture\n", argv[0], left, top);
      return 1;
    }
  } else {
    int best = -1;
    for (int y = 0; y + kScreenHeight <= picture.height; ++y)
      for (int x = 0; x + kScreenWidth <= picture.width; ++x) {
        const int found = count_glyph_cells(picture, x, y, glyphs);
        if (found > best) {
          best = found;
          left = x;
          top = y;
        }
      }
  }

  for (int row = 0; row < kRows; ++row) {
    std::string line;
    for (int column = 0; column < kColumns; ++column) {
      const auto match = glyphs.find(cell_pattern(picture, left + column * 8, top + row * 8));
      if (match == glyphs.end()) {
        line += '?';
      } else if (match->second >= 0x20 && match->second < 0x7F) {
        line += static_cast<char>(match->second);
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", match->second);
        line += escaped;
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
  }
  return 0;
}
