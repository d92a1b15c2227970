#include "device/process_registry.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/device_seams.h"
#include "sysutil/launch_socket.h"

namespace {

constexpr const char* kRegistryPath = "/var/run/uipidshm";

struct Slot {
  char name[kRegistryNameLength + 1];
  int32_t pid;
};

struct Registry {
  bool open = false;
  int fd = -1;
  int32_t* active = nullptr;  // the shared integer, or testPid
  bool mapped = false;        // active points into a mapping of the file
  Slot* table = nullptr;      // master only
  int32_t testPid = 0;
};
Registry gRegistry;

[[noreturn]] void FailOpen() {
  std::printf("Error: cannot open uipid file.\n");
  std::exit(1);
}

}  // namespace

void OpenRegistry(bool forceMaster) {
  Registry& r = gRegistry;
  if (r.open) return;
  bool master = forceMaster;
  if (!master) {
    // Non-blocking: a FIFO in the file's place would otherwise hold the
    // process here until some writer came.
    int probe = open(kRegistryPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe >= 0) {
      close(probe);
      std::printf("Opening in SLAVE mode\n");
    } else {
      master = true;
    }
  }
  if (master) {
    std::printf("Opening in MASTER mode\n");
    int fd = open(kRegistryPath, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) FailOpen();
    const int32_t none = 0;
    bool written = write(fd, &none, sizeof none) == static_cast<ssize_t>(sizeof none);
    close(fd);
    if (!written) FailOpen();
    r.table = static_cast<Slot*>(std::calloc(kRegistrySlots, sizeof(Slot)));
  }
  r.fd = open(kRegistryPath, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (r.fd < 0) FailOpen();
  r.open = true;
  // A file shorter than the integer would map, but reading it would fault:
  // treat it as a mapping that failed (no process is active).
  struct stat st;
  if (fstat(r.fd, &st) != 0 || st.st_size < static_cast<off_t>(sizeof(int32_t))) return;
  void* p = mmap(nullptr, sizeof(int32_t), PROT_READ | PROT_WRITE, MAP_SHARED, r.fd, 0);
  if (p == MAP_FAILED) return;
  r.active = static_cast<int32_t*>(p);
  r.mapped = true;
}

int32_t GetActivePid() {
  if (!gRegistry.open) OpenRegistry(false);
  // One aligned 32-bit load: the master may store it at any time.
  return gRegistry.active != nullptr ? __atomic_load_n(gRegistry.active, __ATOMIC_RELAXED) : 0;
}

void SetActivePid(int32_t id) {
  if (gRegistry.active != nullptr) __atomic_store_n(gRegistry.active, id, __ATOMIC_RELAXED);
}

bool IsActiveProcess(bool check) {
  if (!check) return true;
  return GetActivePid() == static_cast<int32_t>(getpid());
}

void ReapZombies() {
  Slot* table = gRegistry.table;
  if (table == nullptr) return;
  for (int i = 0; i < kRegistrySlots; ++i) {
    Slot& s = table[i];
    if (s.pid == 0) continue;
    int32_t ended = 0;
    int32_t status = 0;
    SendWait4(s.pid, ended, status);
    if (ended != s.pid) continue;
    std::printf("Found zombie process [%s] with id %d\n", s.name, s.pid);
    if (GetActivePid() == s.pid) SetActivePid(0);
    s.name[0] = '\0';
    s.pid = 0;
  }
}

int32_t LaunchProcess(const char* commandLine) {
  Slot* table = gRegistry.table;
  if (table == nullptr) return 0;
  ReapZombies();
  for (int i = 0; i < kRegistrySlots; ++i) {
    if (std::strcmp(table[i].name, commandLine) == 0) return table[i].pid;
  }
  Slot* freeSlot = nullptr;
  for (int i = 0; i < kRegistrySlots && freeSlot == nullptr; ++i) {
    if (table[i].pid == 0) freeSlot = &table[i];
  }
  if (freeSlot == nullptr) {
    std::printf("Maximum (%d) processes are running!\n", kRegistrySlots);
    return 0;
  }
  // A slot could record it only cut, and a cut name could later match a
  // different, longer command line: refused instead of launched.
  if (std::strlen(commandLine) > static_cast<size_t>(kRegistryNameLength)) {
    std::printf("Launching additional process failed!\n");
    return -1;
  }
  int32_t pid = SendLaunch(commandLine);
  std::printf("child_pid is %d\n", pid);
  if (pid > 0) {
    std::snprintf(freeSlot->name, sizeof freeSlot->name, "%s", commandLine);
    freeSlot->pid = pid;
  } else {
    std::printf("Launching additional process failed!\n");
  }
  return pid;
}

void CloseRegistry() {
  Registry& r = gRegistry;
  if (r.mapped) munmap(r.active, sizeof(int32_t));
  if (r.fd >= 0) close(r.fd);
  std::free(r.table);
  r = Registry();
}

void SetActivePidForTesting(int32_t pid) {
  CloseRegistry();
  gRegistry.testPid = pid;
  gRegistry.active = &gRegistry.testPid;
  gRegistry.open = true;
}

void device_reset::Registry() { CloseRegistry(); }
