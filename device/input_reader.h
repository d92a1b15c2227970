#pragma once
// The input devices: the touch screen and the remote control, read without
// blocking, at most one touch sample and one key per call, and only while
// this process is the active UI process.

#include <cstdint>

// One touch sample in logical screen coordinates; pressure 0 means the pen is up.
struct InputEvent {
  int32_t x;
  int32_t y;
  int32_t pressure;
};

class MInputReader {
 public:
  // True when a sample was delivered into event (left untouched otherwise).
  virtual bool ReadTouch(InputEvent& event) = 0;
  // True when a remote record was read; key is 0 when none was or its raw
  // number is unknown.
  virtual bool ReadKey(int32_t& key) = 0;
  virtual ~MInputReader() = default;
};

class CNoxInputReader : public MInputReader {
 public:
  // A device that cannot be opened leaves its reads failing: the system runs
  // without that input.
  CNoxInputReader(const char* touchPath, const char* remotePath);
  ~CNoxInputReader() override;
  CNoxInputReader(const CNoxInputReader&) = delete;
  CNoxInputReader& operator=(const CNoxInputReader&) = delete;

  bool ReadTouch(InputEvent& event) override;
  bool ReadKey(int32_t& key) override;

 private:
  int iTouch;
  int iRemote;
};

// Key code of a remote record's raw key number; 0 for an unknown one.
int32_t RemoteKeyCode(uint8_t raw);

// The reader of /dev/ts and /dev/remote; created on first use, destroyed at process exit.
MInputReader* GetInputReader();
