// STAND-IN until the report lands: the map's summary as text.
#include "app/report_on_demand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "keys/map/keyboard_map.h"

namespace {
KeyMapReport snapshot;
}

void report_on_demand_take() { snapshot = keyboard_map_report(); }

int report_on_demand_write(const char* path, char* reason, size_t reason_size) {
  FILE* file = path != nullptr ? std::fopen(path, "w") : nullptr;
  bool ok = file != nullptr;
  if (ok) {
    int tested = 0;
    if (snapshot.layout != nullptr)
      for (int i = 0; i < snapshot.layout->count; ++i) tested += snapshot.keys[snapshot.layout->keys[i].key].presses > 0;
    char count[12];
    int at = sizeof count - 1;
    count[at] = '\0';
    do count[--at] = static_cast<char>('0' + tested % 10); while ((tested /= 10) != 0 && at > 0);
    std::fputs("klimperdetektor report\ntested ", file);
    std::fputs(count + at, file);
    std::fputs(" keys\n", file);
    ok = std::fflush(file) == 0;
    ok = std::fclose(file) == 0 && ok;
  }
  if (!ok && reason != nullptr && reason_size > 0) {
    std::strncpy(reason, std::strerror(errno), reason_size - 1);
    reason[reason_size - 1] = '\0';
  }
  return ok ? 0 : -1;
}
