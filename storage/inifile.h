#pragma once
// A settings-format file read whole into a document, and written back whole.
#include <string>

#include "storage/inidocument.h"

namespace orv {

struct IniFile {
  IniDocument document;     // knows the bytes it was read from, so a save can tell whether anything changed
  bool unreadable = false;  // the path exists but cannot be read as a file: it is never written over
};

// The file's document; a missing file reads as an empty one. Creates nothing.
IniFile LoadIniFile(const std::string& path);

// Writes the document to path, atomically, unless the file already holds exactly those bytes (a map
// left without changes is then not touched, so a map in a read-only folder can be looked at without
// a failed save each time). False when the file was unreadable or could not be written.
bool SaveIniFile(const IniFile& file, const std::string& path);

// Whether two paths name the same existing file, or are the same text.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace orv
