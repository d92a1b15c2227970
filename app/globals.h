#pragma once
// The application's globals: what the state machine and the three screens
// share. They live for the whole run; the screens are never destroyed.

#include <cstdint>
#include <string>

#include "app/line_table.h"
#include "app/name_table.h"

class CDirectory_Screen;
class CFile_Screen;
class CEditLine_Screen;

// The states of the application state machine (the global `status`).
enum : int32_t {
  initialization = 0,
  directory_requested = 1,
  directory_active = 2,
  file_requested_from_dir = 3,
  file_requested_from_line = 4,
  file_active = 5,
  file_closed = 6,
  editline_requested = 7,
  editline_active = 8,
  editline_finished = 9,
  exit_requested = 10,
  exit_completed = 11
};

// The memory card's root as the directory screen starts from it.
inline constexpr const char* kCardRoot = "/mnt/sdcard";

extern std::string dir_path;   // the directory shown by the directory screen
extern std::string file_path;  // the file chosen in the directory screen
extern std::string line_text;  // the text of the line being edited
extern int32_t line_index;     // its index in file_lines
extern int32_t status;
extern CLineTable file_lines;    // the lines of the open file
extern CNameTable dir_entries;   // the names the directory screen lists
extern CLineTable name_filters;  // the lines of the configuration file

extern CDirectory_Screen* p_dir_screen;
extern CFile_Screen* p_file_screen;
extern CEditLine_Screen* p_edit_screen;

// Empties the strings and tables and sets status and line_index to 0, as at
// process start. Tests use it; the screen pointers are left alone.
void ResetGlobalsForTesting();
