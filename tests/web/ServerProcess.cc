#include "tests/web/ServerProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace webtest {

ServerProcess::ServerProcess(const testsupport::TempDir& dir,
                             const std::vector<std::string>& args) {
  int out[2];
  if (pipe(out) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    std::vector<std::string> all = {METDB_TOOL};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), {"serve", "--port", "0"});
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    unsetenv("METDB_DB");
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  // The first line; the process's end (EOF) ends the wait as well.
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  std::size_t at = line.find("http://127.0.0.1:");
  if (at == std::string::npos) return;
  port_ = std::atoi(line.c_str() + at + 17);
  url_ = "http://127.0.0.1:" + std::to_string(port_);
}

ServerProcess::~ServerProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status;
  waitpid(pid_, &status, 0);
}

bool ServerProcess::alive() {
  int status;
  return pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0;
}

int exchange(int port, const std::string& request, std::string* answer) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return 0;
  timeval timeout{30, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    std::size_t sent = 0;
    while (sent < request.size()) {
      ssize_t n = send(s, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    // Until the server closes, or the answer is whole by its Content-Length.
    char buffer[65536];
    ssize_t n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) {
      reply.append(buffer, static_cast<std::size_t>(n));
      std::size_t end = reply.find("\r\n\r\n");
      std::size_t length = reply.find("Content-Length: ");
      if (end != std::string::npos && length != std::string::npos && length < end &&
          reply.size() >= end + 4 + std::strtoul(reply.c_str() + length + 16, nullptr, 10)) {
        break;
      }
    }
  }
  close(s);
  if (answer != nullptr) *answer = reply;
  if (reply.compare(0, 9, "HTTP/1.1 ") != 0) return 0;
  return std::atoi(reply.c_str() + 9);
}

int get(int port, const std::string& target, std::string* body) {
  std::string reply;
  int status = exchange(
      port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n", &reply);
  if (body != nullptr) {
    std::size_t end = reply.find("\r\n\r\n");
    *body = end == std::string::npos ? "" : reply.substr(end + 4);
  }
  return status;
}

}  // namespace webtest
