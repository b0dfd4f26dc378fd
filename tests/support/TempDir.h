#ifndef METDB_TESTS_SUPPORT_TEMPDIR_H_
#define METDB_TESTS_SUPPORT_TEMPDIR_H_

#include <string>
#include <vector>

namespace testsupport {

// A fresh, empty folder under the system's temporary directory, removed with
// everything in it when the object is destroyed. Every test makes its own.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// Whole-file helpers for tests.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// Names of the entries of a folder, sorted, without "." and "..".
std::vector<std::string> listFolder(const std::string& path);

// Changes the process's current directory for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& dir);
  ~ScopedCwd();
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::string saved_;
};

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_TEMPDIR_H_
