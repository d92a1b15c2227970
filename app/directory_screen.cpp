#include "app/directory_screen.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/debug_log.h"
#include "app/directory_reader.h"
#include "app/globals.h"
#include "app/screen_style.h"
#include "ui/message_box.h"

namespace {

// Only the first kShownNames names in byte order are ever shown, so
// dir_entries keeps just those and counts the rest: listing a folder of a
// million names costs the memory of one of fifty.
static_assert(CDirectory_Screen::kShownNames == CNameTable::kKept, "dir_entries keeps the shown names");
// The way back may come before the shown names, then Continue after them.
static_assert(CDirectory_Screen::kShownNames + 2 <= CUIStringListBox::kCapacity, "the list holds them and Continue");

constexpr const char kFoundPrefix[] = "On a trouv\xE9 : ";
// The added-name line is formatted into this many bytes; longer ones are cut.
constexpr size_t kAddedLineBytes = 128;

void Log(const std::string& text) { DebugLog(text.data(), static_cast<uint32_t>(text.size())); }

// Whether some filter occurs in the name, compared as bytes: a filter may hold
// any byte, NUL included, and one longer than the name never matches.
bool PassesFilters(const char* name, uint32_t length) {
  for (uint32_t i = 0; i < name_filters.Size(); ++i) {
    const uint32_t n = name_filters.Length(i);
    if (n == 0) return true;
    if (n <= length && memmem(name, length, name_filters.Text(i), n) != nullptr) return true;
  }
  return false;
}

void TraceFound(const char* name, uint32_t length) {
  char line[sizeof kFoundPrefix - 1 + DirectoryReader::kNameCapacity];
  const size_t prefix = sizeof kFoundPrefix - 1;
  std::memcpy(line, kFoundPrefix, prefix);
  std::memcpy(line + prefix, name, length);
  DebugLog(line, static_cast<uint32_t>(prefix + length));
}

void TraceAdded(const char* name) {
  char line[kAddedLineBytes];
  std::snprintf(line, sizeof line, "On a ajout\xE9 : %s", name);
  DebugLog(line);
}

}  // namespace

CDirectory_Screen::CDirectory_Screen() : CUIScreen(kSchemeIndex) {
  DebugLog("Dir : Constructor : debut");
  MVirtualScreen* display = GetVirtualScreen();
  screenWidth = static_cast<int32_t>(display->GetWidth());
  screenHeight = static_cast<int32_t>(display->GetHeight());
  rowHeight = screenHeight / 10;
  gap = rowHeight / 10;
  listHeight = 6 * rowHeight - 2 * gap;
  dir_path = std::string(kCardRoot) + "/";
  SetBackground(ScreenBackground(), nullptr);

  title = new CUILabel(UIRect(margin, gap, screenWidth - 2 * margin, rowHeight), dir_path.c_str());
  title->SetFont(nullptr);
  title->textColor = colorYellow;
  AddChild(title);

  DebugLog("Dir : Constructor : on va cr\xE9" "er la liste");
  list = new CUIStringListBox(UIRect(margin, rowHeight + gap, screenWidth - 2 * margin, listHeight), "", this);
  DebugLog("Dir : Constructor : on la remplit pour la premi\xE8" "re fois");
  Draw_Directory_Content(dir_path);
  StartScreenList(list);
  AddChild(list);
  DebugLog("Dir : Constructor : on l'a rempli pour la premi\xE8" "re fois");

  const UIRect open(margin, 8 * rowHeight, screenWidth / 2 - 2 * margin, 2 * (rowHeight - gap));
  openButton = new CUIButton(open, "Open", this);
  openButton->iTag = kOpenTag;
  AddChild(openButton);
  const UIRect exit(screenWidth / 2 + margin, 8 * rowHeight, screenWidth / 2 - 2 * margin, 2 * (rowHeight - gap));
  exitButton = new CUIButton(exit, "Exit", this);
  exitButton->iTag = kExitTag;
  AddChild(exitButton);
  DebugLog("Dir : Constructor : fin");
}

void CDirectory_Screen::Refresh_Screen(const std::string& path) {
  DebugLog("Dir : Refresh_Screen : debut");
  Log(path);
  SetBackground(ScreenBackground(), nullptr);
  title->SetText(path.c_str());
  title->Draw();
  Draw_Directory_Content(path);
  DebugLog("Dir : Refresh_Screen : fin draw_directory_content");
  list->Draw();
  openButton->Draw();
  exitButton->Draw();
  DebugLog("Dir : Refresh_Screen : fin");
}

void CDirectory_Screen::Draw_Directory_Content(const std::string& path) {
  DebugLog("Dir : Draw_Directory_Content : debut");
  dir_entries.Clear();
  DebugLog("Dir : Draw_Directory_Content : on a vid\xE9 la liste");
  // Per-name lines only for a log that keeps them: a big folder would
  // otherwise format two lines per name for nothing.
  const bool trace = DebugLogIsOpen();
  DirectoryReader reader(path.c_str());
  // A folder that vanished or cannot be read still offers the way back, as
  // an empty folder does through its "..".
  if (!reader.Opened()) dir_entries.AddPinned(kBackToParent);
  while (reader.HasMore()) {
    uint32_t length = 0;
    const char* name = reader.Next(&length);
    if (trace) TraceFound(name, length);
    if (name[0] != '.') {
      if (PassesFilters(name, length)) dir_entries.Add(name, length);
      if (trace) TraceAdded(name);
    } else if (length == 2 && name[1] == '.') {
      dir_entries.AddPinned(kBackToParent);
    }
  }
  list->RemoveAll();
  for (uint32_t i = 0; i < dir_entries.Kept(); ++i) list->AddItem(dir_entries.At(i));
  if (dir_entries.Count() >= kShownNames) list->AddItem(kContinue);
  DebugLog("Dir : Draw_Directory_Content : on a rempli la liste");
  DebugLog("Dir : Draw_Directory_Content : fin");
}

void CDirectory_Screen::FiredPressEvent(MUIWidget* source) {
  DebugLog("Dir : FiredPressEvent : debut");
  const int32_t tag = source != nullptr ? source->iTag : 0;
  if (tag == kOpenTag) {
    OpenSelection();
  } else if (tag == kExitTag) {
    DebugLog("Dir : FiredPressEvent : debut iTag = 2");
    status = exit_requested;
  }
  DebugLog("Dir : FiredPressEvent : sortie du test itag");
  Log(dir_path);
  Refresh_Screen(dir_path);
  screen->Flush(true);
  DebugLog("Dir : FiredPressEvent : fin");
}

void CDirectory_Screen::OpenSelection() {
  DebugLog("Dir : FiredPressEvent : debut iTag = 1");
  Log(dir_path);
  // -1 compares as the largest value: no selection at all.
  if (static_cast<uint32_t>(list->selected) >= list->GetItemCount()) {
    ShowMessageBox("Warning !", "You need to select a line...", kMessageBoxOK, kSchemeIndex, colorYellow, nullptr);
    return;
  }
  DebugLog("Dir : FiredPressEvent : un item est s\xE9lectionn\xE9");
  const std::string name = list->GetItem(static_cast<uint32_t>(list->selected));
  Log(name);
  if (name != kBackToParent) {
    DebugLog("Dir : FiredPressEvent : est-ce un repertoire ou un fichier ?");
    const std::string target = dir_path + "/" + name;
    // Whatever cannot be entered (a file, no permission, vanished) is a file.
    if (chdir(target.c_str()) != 0) {
      DebugLog("Dir : FiredPressEvent : le fichier suivant est choisi");
      Log(target);
      file_path = target;
      status = file_requested_from_dir;
      DebugLog("Dir : FiredPressEvent : fin du fichier choisi");
    } else {
      DebugLog("Dir : FiredPressEvent : le repertoire suivant est choisi");
      dir_path += "/" + name;
      Log(dir_path);
      ShowListFromTop(list);
    }
  } else {
    DebugLog("Dir : FiredPressEvent : == back_dir");
    dir_path = ParentPath(dir_path);
    ShowListFromTop(list);
    Log(dir_path);
  }
  DebugLog("Dir : FiredPressEvent : fin iTag = 1");
}

std::string ParentPath(const std::string& path) {
  const std::string root(kCardRoot);
  const size_t last = path.rfind('/');
  if (last == std::string::npos) return root + "/";
  if (path == root) return path;
  return path.substr(0, last);
}
