// What the key log can be asked for: its output format and the chatter
// threshold's bounds. The options parse into these; the log keeps them.
#pragma once

enum class LogFormat { kNone, kText, kCsv, kJsonl };

constexpr int kDefaultChatterMs = 30;
constexpr int kMinChatterMs = 1;
constexpr int kMaxChatterMs = 1000;
