// Turns one raw keyboard record (make code, flags, virtual key) into the key
// id the log uses, smoothing over what systems report differently.
#pragma once

// The flags of a raw keyboard record, as Windows numbers them.
constexpr int kRawKeyBreak = 1;
constexpr int kRawKeyE0 = 2;
constexpr int kRawKeyE1 = 4;

// The key id (app/key_names.h), or -1 for a record that is no key of its own:
// the halves of escape sequences that Windows marks with virtual key 0xFF and
// the fake Shift strokes (E0 2A, E0 36) some keys wrap themselves in.
int raw_key_id(int make_code, int flags, int virtual_key);
