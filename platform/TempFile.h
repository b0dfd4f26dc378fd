#ifndef METDB_PLATFORM_TEMPFILE_H_
#define METDB_PLATFORM_TEMPFILE_H_

#include <string>

#include "platform/File.h"

namespace platform {

// Creates a new, empty file with a unique name from the template "TQ_XXXXXX"
// ("TQ_" and six random characters) in folder ("" means the current
// directory). The file is created exclusively (O_CREAT|O_EXCL|O_NOFOLLOW, mode 0600), so
// no other process can take or redirect the name between choosing and
// creating; a collision makes it try another name. On success returns true,
// sets *path to folder + "/" + name (or just the name when folder is "") and
// leaves *file open for reading and writing, with an exclusive lock on it
// held as long as it stays open (a writer removes only the "TQ_" files whose
// lock it can take, those of processes that are gone). On failure returns
// false and creates nothing.
bool createTempFile(const std::string& folder, std::string* path, File* file);

}  // namespace platform

#endif  // METDB_PLATFORM_TEMPFILE_H_
