#ifndef METDB_PLATFORM_FILEOPS_H_
#define METDB_PLATFORM_FILEOPS_H_

#include <cstdint>
#include <string>

namespace platform {

// Whole-file operations. Each returns false when the operating system
// refuses; none throws.

// Removes a file (not a directory).
bool removeFile(const char* name);
// Renames from over to; replacing an existing file is atomic.
bool renameFile(const char* from, const char* to);
// True when name exists (of any kind; links are not followed).
bool pathExists(const char* name);
// True when name is, or links to, a regular file.
bool isRegularFile(const char* name);
// Gives to the permission bits of from (links followed). Never through a
// link at to. False when either cannot be reached.
bool copyPermissions(const char* from, const char* to);
// Makes the file name's modification time at least atLeastNs, when it is
// earlier. Never through a link. False when the file cannot be opened or
// its time cannot be set (only its owner may).
bool setModifiedAtLeast(const std::string& name, std::int64_t atLeastNs);
// Flushes the folder that holds name, so that a rename into it is durable.
bool syncFolderOf(const char* name);
// The folder part of name: everything before the last '/', "." when there is
// none, "/" for a name directly under the root.
std::string folderOf(const std::string& name);
// The folder of the system's temporary files: TMPDIR when set and not empty,
// otherwise "/tmp".
std::string tempFolder();
// name when it starts with '/', otherwise currentDirectory() + "/" + name;
// name unchanged when the current directory cannot be read.
std::string absolutePath(const std::string& name);

}  // namespace platform

#endif  // METDB_PLATFORM_FILEOPS_H_
