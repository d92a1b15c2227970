#pragma once
// Test seams of the device layer's process-wide objects. Each Set... puts a
// stand-in in place of what the accessor would create on first use; the
// stand-ins are not owned and must outlive their use. ResetDeviceForTesting
// returns the whole layer to its state at process start (destroying what the
// accessors created, forgetting the stand-ins, the model number, the
// registry and the last touch record).
//
// Outside the device sandbox, a test that flushes, reads back or reads input
// with the active-process check sets the active pid first: otherwise the
// registry opens the host's /var/run/uipidshm.

#include <cstdint>

class MFrameBuffer;
class MInputReader;
class MVirtualScreen;

// GetFrameBuffer returns fb.
void SetFrameBufferForTesting(MFrameBuffer* fb);
// GetVirtualScreen returns screen (a recording screen, say).
void SetVirtualScreenForTesting(MVirtualScreen* screen);
// GetInputReader returns reader.
void SetInputReaderForTesting(MInputReader* reader);
// GetModelId returns model without reading /proc/corvina.
void SetModelIdForTesting(int32_t model);
// The registry holds pid in process memory, as a slave, instead of mapping
// /var/run/uipidshm. SetActivePid changes it as it would the shared file.
void SetActivePidForTesting(int32_t pid);

void ResetDeviceForTesting();

// The per-object pieces of ResetDeviceForTesting.
namespace device_reset {
void FrameBuffer();
void VirtualScreen();
void InputReader();
void ModelId();
void Registry();
}  // namespace device_reset
