#ifndef METDB_TOOL_WEB_WEBSERVER_H_
#define METDB_TOOL_WEB_WEBSERVER_H_

#include <functional>
#include <memory>
#include <string>

namespace metdb {

// How the server is set up. The defaults are safe for a machine shared
// with others: loopback only, bounded connections, pages and waits.
struct ServeOptions {
  std::string dataFile;  // "": the configured database
  std::string bind = "127.0.0.1";
  int port = 8765;  // 0: one the system chooses
  double waitSeconds = 10;
  // The most connections served at once; more wait for a free one.
  int maxConnections = 1024;
  // How long a client may take to send a request, or to take an answer,
  // and how long an idle connection is kept, in seconds.
  int readSeconds = 5;
  int idleSeconds = 5;
  // How many requests are worked on at once (0: as many as there are
  // connections); the others wait for a worker in the order they came
  // (WorkGate).
  int workers = 0;
  // How long the server works on one request before it gives up and
  // answers 503 (checked at the work's check points); a request that waits
  // this long for a worker is answered 503 as well.
  double requestSeconds = 10;
};

// The read-only HTTP server of a database: OGC API - Features (FeaturesApi)
// and the map page (PageFiles), on cpp-httplib. Requests longer than the
// library's limits (8 KB of request line or of one header) get 414 or 400,
// a body 413; every answer of the server's own is JSON when it is an error.
class WebServer {
 public:
  // Reads the database's first state and the page files. Throws Error when
  // the database cannot be read.
  explicit WebServer(const ServeOptions& options);
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Binds the address and port; returns the port (the system's choice for
  // 0). Throws Error naming the address when it cannot.
  int bind();
  // The address to reach the server at, "http://127.0.0.1:8765/".
  std::string url() const;
  // Serves until stop() is called from another thread. Returns false when
  // listening failed.
  bool run();
  void stop();

  // Called with a sentence whenever the server reads the database again.
  void onReload(std::function<void(const std::string&)> tell);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_WEBSERVER_H_
