#pragma once
// The memory card's own data files: known files named by number, file types
// named by number with their extensions, numbered check files, a few
// directory chores, and the record file kept by CFileManager.
//
// This system's card layout (numbers without an entry name nothing):
//   known files  1 "kestrel.cfg", 2 "kestrel.rec" (the record file) and
//                3 "bookmarks.txt" in the card data folder; 5 "maps.idx" and
//                6 "regions.dat" in "Maps/"; 9 "poi.idx" in "Maps/Poi/";
//                12 "voices.idx" in "Voices/"; 20 "session.log" in "Logs/";
//                48 "settings.ini" directly below the flash root.
//   file types   2 ".txt" 3 ".log" 4 ".csv" 5 ".dat" 6 ".ini" 7 ".cfg"
//                8 ".bmp" 9 ".ttf" 10 ".fnt" 11 ".raw" 12 ".rec" 13 ".msg"
//                14 ".bak" 15 ".tmp" 16 ".idx" 17 ".map" 18 ".poi" 19 ".gpx"
//                20 ".wav" 21 ".bin"
//   check files  "check%02d.dat" in "Logs/": check07.dat, check99.dat,
//                check100.dat.
//   record file  a 4-byte length L (1 to 256, native byte order) counting a
//                final NUL, then L bytes of text ending with that NUL.

#include <cstdint>

#include "sysutil/bounded_string.h"

class CFileManager;

constexpr int kKnownFileRecord = 2;
constexpr int kKnownFileSettings = 48;
constexpr int kLocationCheckFiles = 5;
constexpr int32_t kMaxRecordLength = 256;  // L, counting the NUL

// Path of a known file (LocationFile's shared buffer: copy it to keep it).
// An unknown number gives the card's root directory alone.
CBoundedString& KnownFilePath(int number);
// The extension of a file type, "" for an unknown type.
CBoundedString FileTypeExtension(int type);
// 1 when path ends with ext, ignoring case; 0 when ext is longer than path.
int HasExtension(const CBoundedString& path, const CBoundedString& ext);
// 0 for an unknown type: having "no extension" is no type.
int HasFileType(const CBoundedString& path, int type);
// Replaces the file name's extension (or appends one when it has none; a '.'
// in a directory name is left alone).
void SetFileType(CBoundedString& path, int type);
// Removes every file directly in dir (sub-directories stay). Returns 0.
int DeleteFilesIn(const CBoundedString& dir);
// 1 and out = the first file's path when dir is a readable directory with a
// file in it; else 0.
int FirstFileIn(const CBoundedString& dir, CBoundedString& out);
// Path of check file `number` (LocationFile's shared buffer).
CBoundedString& CheckFilePath(int number);

// The record's text in one malloc'd block (free it), or null for a missing,
// short or malformed record file.
char* ReadRecord(CFileManager& manager);
// 0; -1 when text is over kMaxRecordLength - 1 characters (refused, the file
// is left alone) or the file cannot be opened; -23 when a write fails.
int WriteRecord(CFileManager& manager, const CBoundedString& text);
