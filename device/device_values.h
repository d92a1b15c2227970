#pragma once
// Device values: small integers that the platform driver publishes as text
// files under /proc/corvina/.

#include <cstdint>

// Reads the value called `name`. False, with a message on standard output,
// when the file cannot be opened or holds no integer.
bool GetProcInt(const char* name, int32_t& value);

// The device model number, read once from "modelid"; 7 (a display whose
// memory has the logical layout) when it cannot be read.
int32_t GetModelId();
