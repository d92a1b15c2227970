#pragma once
// The configuration file: name filters, one per line, read once at start-up.

#include <cstdint>

inline constexpr const char* kConfigPath = "/mnt/sdcard/kestrel/config.txt";
// A filter file holds a few short names; the bound keeps a stray large file
// (or a device put in its place) from costing more than this at start-up.
// What lies past it is read as if the file ended there.
inline constexpr uint32_t kMaxConfigBytes = 4u << 10;

// Replaces name_filters with the file's lines; a line holding a carriage
// return loses its last byte. A file ending with a line feed, and an empty
// one, give an empty last filter, which every name contains. When the file
// cannot be opened, name_filters is left as it is.
void ReadConfig();
