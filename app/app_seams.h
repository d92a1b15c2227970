#pragma once
// Returns the application to its state at process start: the three screens
// deleted, the globals emptied, the server link and the debug log closed,
// captures off and the state machine's levels forgotten. Run it before the
// toolkit's and the device layer's resets: the screens point into both.
void ResetApplicationForTesting();
