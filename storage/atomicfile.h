#pragma once
// Replacing a file's whole content so that it is at every moment either the old file or the new one.
#include <string>
#include <string_view>

namespace orv {

// The folder of a file path: "." for a bare name, "/" for a file in the root.
std::string DirectoryOf(const std::string& path);

// Writes bytes to a temporary file in the same directory, flushes it to the disk (fsync) and renames
// it over file. The old file's permissions (and, with the rights for it, its owner) are kept; a
// symbolic link is written through to the file it names and stays a link. False, with the old file
// left whole and no temporary file left behind, when any step fails or file exists but is not a
// writable regular file. Afterwards, temporary files of file that copies of the program killed while
// saving left behind are removed.
bool ReplaceFileAtomically(const std::string& file, std::string_view bytes);

}  // namespace orv
