#pragma once
// The application's benchmarks read the device's fixed paths (the card at
// /mnt/sdcard), so they run inside the device sandbox, as its tests do: a
// program started outside runs itself again through kestrel-sandbox, where
// /mnt, /var/run, /dev and /tmp are fresh and the host is read-only.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

inline void EnterDeviceSandbox(int argc, char** argv) {
  if (std::getenv("KESTREL_SANDBOX") != nullptr) return;
  static char tool[] = KESTREL_SANDBOX_PROGRAM;
  static char separator[] = "--";
  static char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) {
    std::perror("readlink /proc/self/exe");
    std::exit(1);
  }
  self[n] = '\0';
  std::vector<char*> args = {tool, separator, self};
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execv(tool, args.data());
  std::perror(tool);
  std::exit(1);
}
