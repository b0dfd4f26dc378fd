// Reads the fuzzer's bytes as a selection file. A selection that reads must
// copy, describe and clear itself without fault, and what it writes must read
// back to a selection that writes the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzRun.h"
#include "selection/TLocationSelection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const testsupport::TempDir& folder = run.folder();
  std::string path = run.write("fuzz.sel", data, size);

  TLocationSelection selection;
  int result = selection.read(path.c_str());
  if (result != 1) {
    if (result == -1 && selection.continentList != nullptr) std::abort();  // cleared
    return 0;
  }
  (void)selection.getLevelLimitString();
  (void)selection.getLatitudeString();
  (void)selection.getLongitudeString();
  TLocList* copy = selection.CopyList(selection.continentList);
  selection.deleteList(copy);

  std::string once = folder.file("once.sel");
  if (selection.write(once.c_str()) != 1) return 0;
  TLocationSelection back;
  std::string twice = folder.file("twice.sel");
  if (back.read(once.c_str()) != 1 || back.write(twice.c_str()) != 1) std::abort();
  if (testsupport::readFile(once) != testsupport::readFile(twice)) std::abort();
  return 0;
}
