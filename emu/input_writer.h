#pragma once
// The touch and remote drivers of the emulated device: the 8-byte records
// that the program's input reader takes from /dev/ts and /dev/remote, written
// into their FIFOs. A FIFO keeps every record until the program reads it, one
// of each a pass, so none is lost; Pending tells when it has taken them all.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Touch record: pressure, x and y as signed 16-bit little-endian, then an unused field.
std::array<uint8_t, 8> TouchRecord(int16_t pressure, int16_t x, int16_t y);
// Remote record: the raw key number at offset 5.
std::array<uint8_t, 8> RemoteRecord(uint8_t raw);
// The raw key number that the device's remote sends for a toolkit key code
// (1 to 10); 0 for any other code.
uint8_t RawKeyNumber(int32_t code);

// The pressure of a pen that touches the screen.
inline constexpr int16_t kPenPressure = 255;

class CInputWriter {
 public:
  CInputWriter() = default;
  ~CInputWriter();
  CInputWriter(const CInputWriter&) = delete;
  CInputWriter& operator=(const CInputWriter&) = delete;

  // Opens both FIFOs for writing without waiting for a reader (the writer
  // holds them read-write, so the program may open and close them freely).
  bool Open(const std::string& touchFifo, const std::string& remoteFifo);
  // False when the record could not be queued whole (a full FIFO).
  bool Touch(int16_t pressure, int16_t x, int16_t y);
  // False for a code outside 1 to 10 or a full FIFO.
  bool Key(int32_t code);
  // Bytes written and not yet read by the program, both devices together.
  size_t Pending() const;

 private:
  static bool Write(int fd, const std::array<uint8_t, 8>& record);
  int iTouch = -1;
  int iRemote = -1;
};
