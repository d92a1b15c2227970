#pragma once
// The UI process registry: the shared file /var/run/uipidshm holds the id of
// the UI process that owns the display and the input devices (0 for none).
// The first UI process on the device creates it and is the master; the
// master also keeps a table of the UI processes it started through the
// launcher and clears those that have ended.

#include <cstdint>

constexpr int kRegistrySlots = 10;
// Longest command line a table slot records; longer ones are refused.
constexpr int kRegistryNameLength = 127;

// Opens the registry (master when forced or when the file does not exist
// yet, otherwise slave). Ends the process with status 1 when the file cannot
// be made or opened. Does nothing when it is already open.
void OpenRegistry(bool forceMaster);

// The active process id; opens the registry as a slave first if needed. 0
// when the shared integer is not mapped.
int32_t GetActivePid();
void SetActivePid(int32_t id);
// True when check is false; otherwise true only when this process is the active one.
bool IsActiveProcess(bool check);

// Master only: frees the slots of processes the launcher reports as ended.
void ReapZombies();
// Master only: the pid of the process started with this command line,
// starting it through the launcher when there is none. 0 without a table or
// with every slot taken; the launcher's failure (-1) otherwise. A command
// line longer than a slot holds is refused (-1) without a launch.
int32_t LaunchProcess(const char* commandLine);

void CloseRegistry();
