#pragma once
// Well-known locations of the device.

class CBoundedString;

constexpr int kLocationCard = 1;
constexpr int kLocationRuntime = 26;
constexpr int kLocationSdkRegistry = 27;
constexpr int kLocationFlash = 28;
constexpr int kLocationCardData = 36;

// The directory of a numbered location, ending with a separator. Both return
// one shared buffer that the next call overwrites: copy a result to keep it.
CBoundedString& LocationDirectory(int type);
CBoundedString& LocationFile(int type, const CBoundedString& name);
