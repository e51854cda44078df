// The developer's failure trace. Built with the ZQ_TRACE option, each
// failing step of the drivers and the window layer says what refused and
// with which values, on standard error and the debugger output, followed by
// the system's last error. Without it the macro is nothing at all: the
// shipped program logs nothing and its arguments are never evaluated.
//
//   if (!window) {
//     ZQ_TRACE_FAILURE("CreateWindowExA refused %dx%d, style 0x%lx", width, height, style);
//     return -1;
//   }
//
// For calls that answer with an HRESULT, ZQ_FAILED is FAILED() that traces
// the call's answer in hex when it failed:
//
//   if (ZQ_FAILED(object->Acquire(), "Acquire of the keyboard")) return -1;
#pragma once

#if defined(ZQ_TRACE)
// where: the function that gave up; the rest is printf-style.
void failure_trace(const char* where, const char* format, ...) __attribute__((format(printf, 2, 3)));
#define ZQ_TRACE_FAILURE(...) failure_trace(__func__, __VA_ARGS__)
// True for a failed result (negative), which is traced with what refused.
bool failure_trace_result(long result, const char* where, const char* what);
#define ZQ_FAILED(result, what) failure_trace_result((result), __func__, (what))
#else
#define ZQ_TRACE_FAILURE(...) static_cast<void>(0)
#define ZQ_FAILED(result, what) (static_cast<long>(result) < 0)
#endif
