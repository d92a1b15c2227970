#include "app/globals.h"

std::string dir_path;
std::string file_path;
std::string line_text;
int32_t line_index = 0;
int32_t status = initialization;
CLineTable file_lines;
CNameTable dir_entries;
CLineTable name_filters;

CDirectory_Screen* p_dir_screen = nullptr;
CFile_Screen* p_file_screen = nullptr;
CEditLine_Screen* p_edit_screen = nullptr;

void ResetGlobalsForTesting() {
  dir_path.clear();
  file_path.clear();
  line_text.clear();
  line_index = 0;
  status = initialization;
  file_lines.Clear();
  dir_entries.Clear();
  name_filters.Clear();
}
