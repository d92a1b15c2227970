#pragma once
// The debug log: the application's trace lines, appended to
// /mnt/sdcard/debug.txt while the log is open. Start-up never opens it, so
// in a normal run every line is dropped. The lines are byte strings; the
// French ones are stored as ISO-8859-1 bytes ("\xE9" for e acute).

#include <cstdint>

// Opens the log in append mode; it stays closed when the file cannot be opened.
void DebugLogOpen();
// The text and a line feed, flushed at once; nothing while the log is closed.
void DebugLog(const char* text);
// The same for a text of `length` bytes (NUL bytes included).
void DebugLog(const char* text, uint32_t length);
void DebugLogClose();
// Whether lines are written: callers skip building a line nobody keeps.
bool DebugLogIsOpen();
