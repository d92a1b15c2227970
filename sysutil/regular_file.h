#pragma once
// Opening a card or link file for reading. A FIFO or device node under a
// file's name would make a blocking open wait (for a writer, or forever), and
// a check of the name before the open can be outrun by a swap: so the name is
// opened without blocking and the descriptor itself is checked.

// Results below zero.
constexpr int kOpenFailed = -1;      // missing, unreadable, or the open failed
constexpr int kNotRegularFile = -2;  // it opened but is a FIFO, device or folder

// A descriptor (close-on-exec, blocking reads) of the regular file at the
// path, or kOpenFailed / kNotRegularFile. The caller closes the descriptor.
int OpenRegularFile(const char* path);
