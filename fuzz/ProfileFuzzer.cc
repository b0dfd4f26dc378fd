// Reads the fuzzer's bytes as "ORVANE.INI", the way the library's load step
// does: the home folder, then the data file name that defaults into it, each
// into a buffer of 260 bytes. Every answer must be a terminated string of the
// length returned that fits its buffer, also for tiny buffers.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datafile/MetDatabase.h"
#include "fuzz/FuzzRun.h"
#include "platform/Profile.h"

namespace {

std::string lookUp(const char* section, const char* key, const char* def, std::size_t size,
                   const std::string& file) {
  char out[260];
  std::memset(out, 'x', sizeof out);
  std::size_t n = platform::getPrivateProfileString(section, key, def, out, size, file.c_str());
  if (size == 0) {
    if (n != 0 || out[0] != 'x') std::abort();
    return std::string();
  }
  if (n >= size || std::strlen(out) != n) std::abort();
  return std::string(out, n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const testsupport::TempDir& folder = run.folder();
  std::string ini = run.write("ORVANE.INI", data, size);

  std::string home = lookUp("Directories", "HomeDir", folder.path().c_str(), 260, ini);
  std::string defaultFile = home + "/metdata.bmt";
  std::string configured = lookUp("Files", "MetDataFile", defaultFile.c_str(), 260, ini);
  (void)MetDatabase::directoryFileName(configured);

  for (std::size_t small : {0, 1, 2, 9}) {
    std::string cut = lookUp("files", "METDATAFILE", nullptr, small, ini);
    if (configured.compare(0, cut.size(), cut) != 0 && configured != defaultFile) std::abort();
  }
  (void)lookUp("", "", "", 260, ini);
  return 0;
}
