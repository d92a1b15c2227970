#pragma once
// Start-up: the configuration, the three screens, the server link, and the
// program's entry.

// The whole program: the skin folder from the arguments, InitApplication,
// then the event loop. Returns 0; a normal run ends in the state machine's
// exit step instead.
int KestrelMain(int argc, char** argv);
// 0 on success, 1 when the server link cannot be opened (nothing is shown
// then). The arguments are not used.
int InitApplication(int argc, char** argv);
