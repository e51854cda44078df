// What a driver last sent to its window, line by line, so that it sends only
// the lines whose pixels really changed since. The viewer redraws and marks
// the whole page every pass; most passes change nothing.
#pragma once

#include <cstdint>

struct SentLines {
  uint8_t* lines;         // line_count x line_bytes, the bytes last sent
  int32_t line_count;
  int32_t line_bytes;
  const uint8_t* source;  // the page those bytes came from
  int32_t known;          // 0: the window's contents are not known
  // The colours palettised lines were converted with, for a driver that
  // converts them itself (sent_lines_check_colours).
  uint32_t colours[256];
  int32_t colour_count;
};

// Allocates room for line_count lines of line_bytes each; the contents start
// unknown. -1 (and a closed record) for a size of 0 or less, a copy of more
// than 2 GiB, or no memory.
int sent_lines_open(SentLines* sent, int line_count, int line_bytes);
// Frees the copy; safe twice and on a zeroed record.
void sent_lines_close(SentLines* sent);
// The window's contents are unknown again (new palette, new window, a paint
// of the whole window): the next filter keeps every marked line.
void sent_lines_forget(SentLines* sent);
// For a driver that converts palettised pixels through `colours` (count
// entries, at most 256): the same bytes in other colours than last time
// are another picture, so the window's contents are forgotten. Returns 1
// when that happened (the first call of a record counts as a change), 0
// for the same colours or bad arguments.
int sent_lines_check_colours(SentLines* sent, const uint32_t* colours, int count);

// Clears the flag of each marked line among the first `count` whose bytes in
// `page` (lines `pitch` apart) equal those last sent, and records the bytes
// of the lines left marked, which the caller then sends. Another page than
// last time (a flip) keeps every marked line. Without a copy (closed record)
// nothing is cleared. Returns the number of lines left marked, 0 for bad
// arguments.
int sent_lines_filter(SentLines* sent, const uint8_t* page, int pitch, uint8_t* dirty, int count);
