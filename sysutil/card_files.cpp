#include "sysutil/card_files.h"

#include <cstdlib>
#include <cstring>

#include "sysutil/file_manager.h"
#include "sysutil/file_scanner.h"
#include "sysutil/file_stream.h"
#include "sysutil/format.h"

namespace {

// Locations the known files live in; several numbers share one.
constexpr int kKnownLocations[] = {kLocationCardData, 2, 3, 4, 5};

struct KnownFile {
  int number;
  const char* name;
  int location;  // index into kKnownLocations
};

constexpr KnownFile kKnownFiles[] = {
    {1, "kestrel.cfg", 0}, {2, "kestrel.rec", 0}, {3, "bookmarks.txt", 0},
    {5, "maps.idx", 1},    {6, "regions.dat", 1}, {9, "poi.idx", 2},
    {12, "voices.idx", 3}, {20, "session.log", 4},
};

constexpr const char* kSettingsFile = "settings.ini";

constexpr int kFirstFileType = 2;
constexpr const char* kFileTypes[] = {
    ".txt", ".log", ".csv", ".dat", ".ini", ".cfg", ".bmp", ".ttf", ".fnt", ".raw",
    ".rec", ".msg", ".bak", ".tmp", ".idx", ".map", ".poi", ".gpx", ".wav", ".bin",
};
constexpr int kFileTypeCount = static_cast<int>(sizeof(kFileTypes) / sizeof(kFileTypes[0]));

constexpr const char* kCheckFilePattern = "check%02d.dat";

}  // namespace

CBoundedString& KnownFilePath(int number) {
  if (number == kKnownFileSettings) return LocationFile(kLocationFlash, CBoundedString(kSettingsFile));
  for (const KnownFile& f : kKnownFiles) {
    if (f.number == number) return LocationFile(kKnownLocations[f.location], CBoundedString(f.name));
  }
  return LocationDirectory(kLocationCard);
}

CBoundedString FileTypeExtension(int type) {
  int index = type - kFirstFileType;
  if (index < 0 || index >= kFileTypeCount) return CBoundedString("");
  return CBoundedString(kFileTypes[index]);
}

int HasExtension(const CBoundedString& path, const CBoundedString& ext) {
  if (path.Length() < ext.Length()) return 0;
  return path.Right(ext.Length()).CompareNoCase(ext) == 0 ? 1 : 0;
}

int HasFileType(const CBoundedString& path, int type) {
  CBoundedString ext = FileTypeExtension(type);
  if (ext.Length() == 0) return 0;
  return HasExtension(path, ext);
}

void SetFileType(CBoundedString& path, int type) {
  path.ReplaceExtension(FileTypeExtension(type));
}

int DeleteFilesIn(const CBoundedString& dir) {
  CFileScanner scanner(dir, CFileScanner::kFilesOnly, 0);
  for (const CFileScanner::TEntry* e = scanner.First(); e != nullptr; e = scanner.Next()) {
    e->path->Remove();
  }
  return 0;
}

int FirstFileIn(const CBoundedString& dir, CBoundedString& out) {
  if (!dir.IsDirectory()) return 0;
  CFileScanner scanner(dir, CFileScanner::kFilesOnly, 0);
  const CFileScanner::TEntry* e = scanner.First();
  if (e == nullptr) return 0;
  out.Set(*e->path);
  return 1;
}

CBoundedString& CheckFilePath(int number) {
  CPathBuffer name;
  FormatString(name, kCheckFilePattern, number);
  return LocationFile(kLocationCheckFiles, name);
}

char* ReadRecord(CFileManager& manager) {
  CFileStream stream;
  if (stream.OpenRead(manager.RecordPath(), &manager.Registry()) != 0) return nullptr;
  int32_t length = 0;
  if (stream.Read(&length, sizeof(length)) != static_cast<int32_t>(sizeof(length))) return nullptr;
  if (length <= 0 || length > kMaxRecordLength) return nullptr;
  char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
  if (text == nullptr) return nullptr;
  if (stream.Read(text, length) != length || text[length - 1] != '\0') {
    std::free(text);
    return nullptr;
  }
  return text;
}

int WriteRecord(CFileManager& manager, const CBoundedString& text) {
  // Cutting would store another text; a longer record could not be read back.
  if (text.Length() > kMaxRecordLength - 1) return -1;
  CFileStream stream;
  if (stream.OpenWrite(manager.RecordPath(), &manager.Registry(), 0) != 0) return -1;
  int32_t length = text.Length() + 1;
  int result = stream.Write(&length, sizeof(length));
  if (result == 0) result = stream.Write(text.Data(), text.Length());
  const char nul = '\0';
  if (result == 0) result = stream.Write(&nul, 1);
  // The library buffer hides a full card until it is flushed.
  if (result == 0 && !stream.Flush()) result = CFileStream::kWriteFailed;
  stream.Close();
  return result;
}
