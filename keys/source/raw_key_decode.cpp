#include "keys/source/raw_key_decode.h"

#include "keys/key_names.h"
#include "common/key_tables.h"

namespace {

constexpr int kVkCancel = 0x03;  // Ctrl+Pause
constexpr int kVkPause = 0x13;
constexpr int kVkSnapshot = 0x2C;
constexpr int kVkNumLock = 0x90;
constexpr int kVkNone = 0xFF;

const int kPauseKey = make_key_id(0x45, kPrefixE1);
const int kNumLockKey = make_key_id(0x45, kNoPrefix);
const int kPrintScreenKey = make_key_id(0x37, kPrefixE0);

}  // namespace

int raw_key_id(int make_code, int flags, int virtual_key) {
  if (virtual_key == kVkNone) return -1;
  // Pause and Num Lock share make code 0x45, and systems disagree on which of
  // them carries a prefix (Windows: Pause as E1 1D, Num Lock plain; Wine:
  // Pause plain, Num Lock with E0). The virtual key is the one reliable mark.
  // Ctrl+Pause arrives as Break (E0 46, or plain 45) but is the Pause key.
  if (virtual_key == kVkPause || virtual_key == kVkCancel) return kPauseKey;
  if (virtual_key == kVkNumLock) return kNumLockKey;
  // Alt+Print Screen reports SysRq (54); it is still the Print Screen key.
  if (virtual_key == kVkSnapshot) return kPrintScreenKey;

  const bool e0 = (flags & kRawKeyE0) != 0;
  if (e0 && (make_code == 0x2A || make_code == 0x36)) return -1;

  if (make_code <= 0 || make_code >= 0x80) {
    // Input made by software may carry only a virtual key: take the page's
    // scancode for it.
    const int scancode = scancode_from_virtual_key(virtual_key);
    return scancode != 0 ? make_key_id(scancode, e0 ? kPrefixE0 : kNoPrefix) : -1;
  }
  const int prefix = (flags & kRawKeyE1) != 0 ? kPrefixE1 : e0 ? kPrefixE0 : kNoPrefix;
  return make_key_id(make_code, prefix);
}
