#include "sysutil/file_manager.h"

#include "sysutil/card_files.h"

CBase::~CBase() = default;

CFileManager::CFileManager() { iRecordPath.Set(KnownFilePath(kKnownFileRecord)); }

CFileManager::~CFileManager() { iRegistry.Clear(); }
