// Number parsing and field splitting used by the settings store and by the launch code.
// Plain C++: no windows.h, so it is tested and fuzzed natively too.
#pragma once

namespace vn {

// Field buffers are the system's 260-character texts: at most kFieldMax characters are kept.
constexpr int kFieldMax = 259;

int ParseInteger(const char* text);

// Extracts the first field of text into field (may be null; at most kFieldMax characters are
// stored, the rest of an over-long field is skipped). *start (may be null) receives the offset at
// which the field starts, or -1 when the text holds no field. Returns the position just after the
// field and its separator (the terminating zero when no separator followed).
const char* FirstField(const char* text, char* field, char separator, int* start);

// Field number n (from 1) into field; returns its offset in text, or -1.
int NthField(const char* text, int n, char* field, char separator);

}  // namespace vn
