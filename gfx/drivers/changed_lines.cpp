#include "gfx/drivers/changed_lines.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

int sent_lines_open(SentLines* sent, int line_count, int line_bytes) {
  if (!sent) return -1;
  sent_lines_close(sent);
  if (line_count <= 0 || line_bytes <= 0) return -1;
  // No frame buffer is larger; a larger product would wrap on 32 bits.
  if (static_cast<uint64_t>(line_count) * static_cast<uint64_t>(line_bytes) > INT32_MAX) return -1;
  sent->lines = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(line_count) * static_cast<size_t>(line_bytes)));
  if (!sent->lines) return -1;
  sent->line_count = line_count;
  sent->line_bytes = line_bytes;
  return 0;
}

void sent_lines_close(SentLines* sent) {
  if (!sent) return;
  std::free(sent->lines);
  *sent = SentLines{};
}

void sent_lines_forget(SentLines* sent) {
  if (sent) sent->known = 0;
}

int sent_lines_check_colours(SentLines* sent, const uint32_t* colours, int count) {
  if (!sent || !colours || count <= 0 || count > static_cast<int>(std::size(sent->colours))) return 0;
  const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(count);
  if (sent->colour_count == count && std::memcmp(sent->colours, colours, bytes) == 0) return 0;
  std::memcpy(sent->colours, colours, bytes);
  sent->colour_count = count;
  sent->known = 0;
  return 1;
}

int sent_lines_filter(SentLines* sent, const uint8_t* page, int pitch, uint8_t* dirty, int count) {
  if (!sent || !page || !dirty || count <= 0) return 0;
  const bool usable = sent->lines && count <= sent->line_count && pitch >= sent->line_bytes;
  if (!usable) {
    int marked = 0;
    for (int line = 0; line < count; ++line) marked += dirty[line] ? 1 : 0;
    return marked;
  }
  const bool known = sent->known && sent->source == page;
  const size_t bytes = static_cast<size_t>(sent->line_bytes);
  int marked = 0;
  for (int line = 0; line < count; ++line) {
    if (!dirty[line]) continue;
    const uint8_t* now = page + static_cast<size_t>(pitch) * static_cast<size_t>(line);
    uint8_t* before = sent->lines + bytes * static_cast<size_t>(line);
    if (known && std::memcmp(now, before, bytes) == 0) {
      dirty[line] = 0;
      continue;
    }
    std::memcpy(before, now, bytes);
    ++marked;
  }
  // Unmarked lines were not copied: after a forget or a flip the record only
  // vouches for every line once all of them were marked.
  if (!known) {
    bool all = true;
    for (int line = 0; line < count && all; ++line) all = dirty[line] != 0;
    sent->known = all && count == sent->line_count ? 1 : 0;
  }
  sent->source = page;
  return marked;
}
