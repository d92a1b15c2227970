#pragma once
// Every test starts from safe stand-ins for the process-wide objects: a
// 320 x 240 16-bit memory display, model number 7 (what a device without the
// value reports), this process as the active one, an input reader with an
// empty script, the toolkit's loop and skin as at process start, and the
// system clock; so a test which forgets a seam can never open /dev/fb,
// /dev/ts or /dev/remote, or open or create /var/run/uipidshm on the host. The test main (test_main.cpp) installs
// them before each test; a test that means to use the device paths, inside
// the sandbox, calls ResetDeviceForTesting first.

class CMemoryFrameBuffer;
class CScriptedInputReader;

// Tears the process-wide objects down, users before what they point to, and
// installs the stand-ins again.
void InstallTestDefaults();

// The default display of InstallTestDefaults.
CMemoryFrameBuffer& TestDisplay();

// The default input reader of InstallTestDefaults.
CScriptedInputReader& TestInput();
