#include "platform/ModulePath.h"

#include <dlfcn.h>
#include <link.h>
#include "platform/Env.h"
#include "platform/FileOps.h"

namespace platform {

namespace {

// Any address inside this object does for dladdr; a data object avoids
// converting a function pointer to void*.
const char anchor = 0;

// The running program's own file, from the kernel; "" when unknown.
std::string programFile() { return Env::current()->programFile(); }

}  // namespace

std::string moduleFileName() {
  Dl_info info;
  struct link_map* map = nullptr;
  if (::dladdr1(&anchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) return "";
  std::string name = info.dli_fname != nullptr ? info.dli_fname : "";
  if (!name.empty() && name[0] == '/') return name;
  // The program itself heads the list of loaded objects; for it the loader
  // reports the name the program was started by (argv[0]), which may be
  // relative to a directory left long ago, or a bare name found on PATH.
  if (map != nullptr && map->l_prev == nullptr) {
    std::string exe = programFile();
    if (!exe.empty()) return exe;
  }
  return name.empty() ? "" : absolutePath(name);
}

void splitPath(const std::string& path, std::string* dir, std::string* name, std::string* ext) {
  std::string::size_type slash = path.rfind('/');
  std::string::size_type start = slash == std::string::npos ? 0 : slash + 1;
  std::string::size_type dot = path.rfind('.');
  if (dot == std::string::npos || dot < start) dot = path.size();
  if (dir != nullptr) *dir = path.substr(0, start);
  if (name != nullptr) *name = path.substr(start, dot - start);
  if (ext != nullptr) *ext = path.substr(dot);
}

}  // namespace platform
