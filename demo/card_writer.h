#pragma once
// What the card generators share: plain file writing with one message a
// failure, removal of an old card, and the demo's skin (DejaVu Sans and the
// pictures), the same bytes on every run. Build tools: they report on stderr
// and return false, never stop the process.

#include <string>

// The name that starts every message.
void SetCardToolName(const char* name);

// Print "<tool>: <what>" (and the errno text) on stderr; always false.
bool Fail(const std::string& what);
bool FailErrno(const std::string& what, const std::string& path);

bool ReadFile(const std::string& path, std::string* out);
// A new file: a name met twice is a mistake of the generator, reported.
bool WriteFile(const std::string& path, const std::string& content);
// A folder; one that already exists is fine.
bool MakeDir(const std::string& path);
// Removes a card and everything in it, links not followed; a missing one is fine.
bool RemoveTree(const std::string& path);

// skin/ below the card: the font descriptions for DejaVu Sans 16, 18 and 24,
// the font file's bytes, Back.bmp (320x240), CheckOn.bmp and CheckOff.bmp
// (20x20, pure red is clear).
bool WriteDemoSkin(const std::string& card, const std::string& fontBytes);

// The font file's bytes, or false with the package to install.
bool ReadDejaVuFont(const std::string& path, std::string* out);
