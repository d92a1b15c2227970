#pragma once
// The whole of a regular file of at most `maxBytes`, for the host tools that
// read scenarios and pictures. False, with "<path>: <reason>" in `why`, for a
// missing or unreadable file, anything but a regular file, or a larger one.

#include <cstdint>
#include <string>

bool ReadBoundedFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& why);
