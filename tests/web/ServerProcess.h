#ifndef METDB_TESTS_WEB_SERVERPROCESS_H_
#define METDB_TESTS_WEB_SERVERPROCESS_H_

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace webtest {

// The built tool's serve on a free loopback port, run in dir with args
// before "serve --port 0". Ready once constructed: the constructor reads
// the line the server prints when it answers ("Serving ... at URL"), so no
// test waits by the clock. Stopped with SIGTERM when destroyed.
class ServerProcess {
 public:
  ServerProcess(const testsupport::TempDir& dir, const std::vector<std::string>& args);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT"; empty when the server did not start.
  const std::string& url() const { return url_; }
  // Whether the process is still running.
  bool alive();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string url_;
};

// Sends request on a new connection to 127.0.0.1:port and reads the answer
// until the server closes the connection or 30 s pass; the answer's status
// code, or 0 when none came.
int exchange(int port, const std::string& request, std::string* answer = nullptr);

// A GET of target (path and query) with Connection: close; its status.
int get(int port, const std::string& target, std::string* body = nullptr);

}  // namespace webtest

#endif  // METDB_TESTS_WEB_SERVERPROCESS_H_
