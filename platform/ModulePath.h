#ifndef METDB_PLATFORM_MODULEPATH_H_
#define METDB_PLATFORM_MODULEPATH_H_

#include <string>

namespace platform {

// The full path of the loaded object that holds this code (libmetdb.so, or
// the program itself when the library is linked statically), found with
// dladdr on an address inside it. "" when it cannot be found. A library
// loaded by a relative name is resolved against the current directory, which
// is right while the library is being loaded; call it then.
std::string moduleFileName();

// Splits a path into its folder (ending in '/', or "" when there is none),
// base name and extension (starting with '.', or ""). Only a '.' after the
// last '/' starts an extension. Any of the outputs may be null.
void splitPath(const std::string& path, std::string* dir, std::string* name, std::string* ext);

}  // namespace platform

#endif  // METDB_PLATFORM_MODULEPATH_H_
