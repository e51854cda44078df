// The local time, the system's version and the keyboard layout, as Windows
// gives them. No formatted output: the program carries none of it.
#include <windows.h>

#include <cstdint>

#include "sys/system_facts.h"

namespace sys {

namespace {

struct Text {
  char* text;
  size_t size;
  size_t used;
};

void append(Text& out, const char* s) {
  for (; s != nullptr && *s != '\0' && out.used + 1 < out.size; ++s) out.text[out.used++] = *s;
  out.text[out.used] = '\0';
}

void append_number(Text& out, unsigned long value) {
  char digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char reversed[12];
  for (int i = 0; i < count; ++i) reversed[i] = digits[count - 1 - i];
  reversed[count] = '\0';
  append(out, reversed);
}

int64_t file_time_units(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return 0;
  return (static_cast<int64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

// RtlGetVersion tells the truth where GetVersionEx answers as the program's
// manifest lets it; the same structure for both.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOA*);
using WineVersionFunction = const char*(CDECL*)();

template <typename Entry>
Entry entry_of(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

bool local_time_now(LocalTime* time) {
  if (time == nullptr) return false;
  SYSTEMTIME utc{}, local{};
  // Both read twice when a second boundary fell between them, so that the
  // offset comes out in whole minutes.
  for (int attempt = 0; attempt < 2; ++attempt) {
    GetSystemTime(&utc);
    GetLocalTime(&local);
    if (utc.wSecond == local.wSecond) break;
  }
  const int64_t difference = file_time_units(local) - file_time_units(utc);  // 100 ns units
  constexpr int64_t kUnitsPerMinute = 600000000;
  const int64_t rounded = difference >= 0 ? difference + kUnitsPerMinute / 2 : difference - kUnitsPerMinute / 2;
  *time = LocalTime{local.wYear, local.wMonth,  local.wDay,
                    local.wHour, local.wMinute, local.wSecond,
                    static_cast<int>(rounded / kUnitsPerMinute)};
  return true;
}

void system_version_text(char* text, size_t size) {
  if (text == nullptr || size == 0) return;
  Text out{text, size, 0};
  text[0] = '\0';
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  auto rtl_get_version = entry_of<RtlGetVersionFunction>(ntdll, "RtlGetVersion");
  if (rtl_get_version == nullptr || rtl_get_version(&version) != 0) {
    version = OSVERSIONINFOA{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) {
      append(out, "Windows (version unknown)");
      return;
    }
  }
  append(out, "Windows ");
  append_number(out, version.dwMajorVersion);
  append(out, ".");
  append_number(out, version.dwMinorVersion);
  append(out, " build ");
  append_number(out, version.dwBuildNumber);
  if (version.szCSDVersion[0] != '\0') {
    append(out, " ");
    append(out, version.szCSDVersion);
  }
  // A report made under Wine says so: its Windows version is what Wine plays.
  auto wine_version = entry_of<WineVersionFunction>(ntdll, "wine_get_version");
  if (wine_version != nullptr) {
    append(out, " (Wine ");
    append(out, wine_version());
    append(out, ")");
  }
}

void keyboard_layout_text(char* text, size_t size) {
  if (text == nullptr || size == 0) return;
  Text out{text, size, 0};
  text[0] = '\0';
  const LANGID language = static_cast<LANGID>(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0)) & 0xFFFF);
  const LCID locale = MAKELCID(language, SORT_DEFAULT);
  char name[80];
  if (GetLocaleInfoA(locale, LOCALE_SENGLANGUAGE, name, sizeof name) > 0) {
    append(out, name);
    char country[80];
    if (GetLocaleInfoA(locale, LOCALE_SENGCOUNTRY, country, sizeof country) > 0) {
      append(out, " (");
      append(out, country);
      append(out, ")");
    }
    append(out, ", ");
  }
  char layout[KL_NAMELENGTH];
  append(out, "layout ");
  append(out, GetKeyboardLayoutNameA(layout) ? layout : "unknown");
}

void system_text_to_utf8(const char* text, char* utf8, size_t size) {
  if (utf8 == nullptr || size == 0) return;
  utf8[0] = '\0';
  if (text == nullptr) return;
  wchar_t wide[512];
  const int characters = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 512);
  if (characters <= 0) return;
  wide[511] = 0;
  // WideCharToMultiByte refuses a buffer too small: cut the wide text until it fits.
  for (int count = characters - 1; count >= 0; --count) {
    const int written = WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8, static_cast<int>(size) - 1, nullptr, nullptr);
    if (written > 0 || count == 0) {
      utf8[written > 0 ? written : 0] = '\0';
      return;
    }
  }
}

}  // namespace sys
