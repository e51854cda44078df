// When the event thread runs: while its window has no message and the
// program's thread leaves the page as the window shows it, the thread
// sleeps instead of waking every 10 ms to find nothing to do.
#pragma once

// The event thread's pause after an iteration that left work: one pass of
// the page's 10 ms cadence.
constexpr unsigned kEventLoopPauseMs = 10;

// The wake event, made before the event thread starts and closed after it
// has ended (with the record of the page as last announced).
bool window_wake_open();
void window_wake_close();

// Asks the event thread for an iteration now; from any thread.
void window_wake();

// The program's thread, under the window lock, before it leaves it: whether
// a marked line of the visible page differs from what it held at the last
// such look (or another page is visible, or a new palette waits). The
// viewer marks its whole page on every pass, which mostly changes nothing.
bool window_page_changed_since_wake();

// Whether the iteration just run left work for the next one: messages were
// taken (whose effects, such as the keyboard state, the next key read
// sees), or lines, a palette or a whole resend wait to go out. Called by the
// event thread under the window lock.
bool window_work_left(int messages_taken);

// The event thread's pause after an iteration: 10 ms while work is left, as
// ever; otherwise until a message comes or window_wake is called. No time
// limit: a path that changes the picture without a wake would leave the
// window stale, and must show in the tests as that, not as a late picture.
void window_event_pause(bool work_left);
