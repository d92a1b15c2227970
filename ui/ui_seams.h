#pragma once
// Returns the toolkit's process-wide state to its state at process start:
// the keyboards (their keys hold the skin's font and the virtual screen),
// the event loop (and the active process id of its last pass), then the
// skin with its folder and the dark colour it set. Run before the device
// layer's reset: the loop and the skin's pictures point into it.
void ResetUIForTesting();
