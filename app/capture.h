#pragma once
// Raw screen captures: a copy of the display memory into
// /mnt/sdcard/<folder>/img<date and time>.raw, made by the exit step while
// captures are enabled. Start-up never enables them.

// Enables captures when /mnt/sdcard/<folder>/capture can be read.
void CaptureEnable(const char* folder);
enum class ECaptureResult { kOff, kRefused, kRan };
// Copies the display when captures are enabled; the copy's own result is
// ignored. kRefused, with nothing run, for a folder name that holds a
// character the shell reads or a command that would not fit its buffer.
ECaptureResult CaptureScreen(const char* folder);
// Whether captures are enabled.
bool CaptureIsEnabled();
// True when the file can be opened for reading (it is closed again at once).
bool FileExists(const char* path);
// Captures disabled, as at process start.
void ResetCaptureForTesting();
