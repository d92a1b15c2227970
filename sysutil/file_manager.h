#pragma once
// CFileManager keeps the memory card's open-file registry, so that the files
// it opens survive an unmount of the card, and the path of its record file.

#include "sysutil/bounded_string.h"
#include "sysutil/file_stream.h"

// Root of the services' heap objects, deleted through the virtual destructor.
class CBase {
 public:
  virtual ~CBase();
};

class CFileManager : public CBase {
 public:
  // The record file is the card's known record file unless set otherwise.
  CFileManager();
  // Empties the registry; streams still open stay open, unrecorded.
  ~CFileManager() override;
  CFileManager(const CFileManager&) = delete;
  CFileManager& operator=(const CFileManager&) = delete;

  COpenFileRegistry& Registry() { return iRegistry; }
  const CBoundedString& RecordPath() const { return iRecordPath; }
  void SetRecordPath(const CBoundedString& path) { iRecordPath.Set(path); }

 private:
  COpenFileRegistry iRegistry;
  CPathBuffer iRecordPath;
};
