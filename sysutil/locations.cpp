#include "sysutil/locations.h"

#include <algorithm>

#include "sysutil/bounded_string.h"

namespace {

struct SubDirectory {
  int type;
  const char* name;
};

// This system's own choice of sub-directories below the location roots; the
// message layer relies only on the run-time location, which adds none.
constexpr SubDirectory kSubDirectories[] = {
    {2, "Maps/"},
    {3, "Maps/Poi/"},  // one level below location 2
    {4, "Voices/"},
    {5, "Logs/"},
};

constexpr int kHighestLocation = 37;

const char* RootOf(int type) {
  switch (type) {
    case kLocationRuntime:
      return "/var/run/";
    case kLocationFlash:
      return "/mnt/flash/";
    case kLocationSdkRegistry:
      return "/mnt/sdcard/SdkRegistry/";
    default:
      return "/mnt/sdcard/";
  }
}

const char* SubDirectoryOf(int type) {
  if (type <= 0 || type > kHighestLocation) return "";
  for (const SubDirectory& s : kSubDirectories) {
    if (s.type == type) return s.name;
  }
  return "";
}

// The one shared result of LocationDirectory and LocationFile.
CPathBuffer gLocation;

}  // namespace

CBoundedString& LocationDirectory(int type) {
  gLocation.Set(SubDirectoryOf(type));
  gLocation.Insert(0, CBoundedString(RootOf(type)));
  gLocation.Terminate();
  return gLocation;
}

CBoundedString& LocationFile(int type, const CBoundedString& name) {
  // The name may be a view over the shared buffer itself (an earlier result).
  CPathBuffer copy;
  copy.Set(name.Data(), std::min<int32_t>(name.Length(), kPathCapacity));
  LocationDirectory(type);
  gLocation.Append(copy);
  return gLocation;
}
