#include "tool/web/WebServer.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>

#include "tool/CheckPoint.h"
#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/text/Text.h"
#include "tool/web/ConnectionThreads.h"
#include "tool/web/FeaturesApi.h"
#include "tool/web/PageFiles.h"
#include "tool/web/WorkGate.h"

namespace metdb {

namespace {

void send(const WebResponse& answer, httplib::Response& res) {
  res.status = answer.status;
  res.set_content(answer.body, answer.contentType.c_str());
  res.set_header("X-Content-Type-Options", "nosniff");
  res.set_header("Cache-Control", "no-cache");
}

}  // namespace

struct WebServer::State {
  explicit State(const ServeOptions& o)
      : options(o),
        source(o.dataFile, o.waitSeconds),
        pages(dataFolder() + "/web"),
        gate(static_cast<std::size_t>(o.workers > 0 ? o.workers : std::max(1, o.maxConnections))) {}
  ServeOptions options;
  SnapshotSource source;
  PageFiles pages;
  WorkGate gate;
  std::unique_ptr<FeaturesApi> api;
  httplib::Server server;
  int port = 0;
};

WebServer::WebServer(const ServeOptions& options) : state_(std::make_unique<State>(options)) {
  httplib::Server& s = state_->server;
  const std::size_t maxConnections = static_cast<std::size_t>(std::max(1, options.maxConnections));
  s.new_task_queue = [maxConnections] { return new ConnectionThreads(maxConnections); };
  s.set_read_timeout(options.readSeconds, 0);
  s.set_write_timeout(options.readSeconds, 0);
  s.set_keep_alive_timeout(options.idleSeconds);
  s.set_keep_alive_max_count(100);
  // An answer goes out in two writes, its head and its body: with Nagle's
  // algorithm the body would wait for the client's delayed acknowledgement
  // of the head, some 40 ms, on every request of a kept-alive connection.
  s.set_tcp_nodelay(true);
  // Only GET is served: no request needs a body.
  s.set_payload_max_length(1024);
  State* state = state_.get();
  // The answer to one request: the map page and its files, the map's
  // points, or the API.
  auto route = [state](const WebRequest& request) {
    WebResponse answer;
    const bool api = FeaturesApi::isApiPath(request.path);
    const bool page = request.method == "GET" || request.method == "HEAD";
    if (page && request.path == "/" && request.params.empty() &&
        outputFormat(request.params, request.accept) == "html" && state->pages.find("/", &answer)) {
      // A browser at the root gets the map page, which links to the API.
    } else if (page && request.path == "/map/points" && request.params.empty()) {
      answer = state->api->mapPoints();
    } else if (api || !page) {
      answer = state->api->answer(request);
    } else if (!request.params.empty() || !state->pages.find(request.path, &answer)) {
      answer = errorResponse(404, "NotFound", "There is no page here.");
    }
    return answer;
  };
  auto handle = [state, route](const httplib::Request& req, httplib::Response& res) {
    WebRequest request;
    request.method = req.method;
    request.path = req.path;
    request.accept = req.get_header_value("Accept");
    for (const auto& [name, value] : req.params) request.params.emplace_back(name, value);
    WebResponse answer;
    // A new state of the database is read before the gate: the one request
    // that reads it holds no worker meanwhile, and the others answer from
    // the state they hold.
    state->source.current();
    const auto limit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(state->options.requestSeconds));
    WorkGate::Pass pass(state->gate, std::chrono::steady_clock::now() + limit);
    if (!pass.entered()) {
      answer =
          errorResponse(503, "Busy",
                        "The server is busy: no worker came free within its limit of " +
                            text::shortestFloat(state->options.requestSeconds) + " s; try again.");
      send(answer, res);
      return;
    }
    try {
      CheckPointDeadline deadline(state->options.requestSeconds);
      answer = route(request);
    } catch (const TimeLimitExceeded&) {
      answer = errorResponse(503, "Timeout",
                             "The request took longer than the server's limit of " +
                                 text::shortestFloat(state->options.requestSeconds) +
                                 " s; ask for less, e.g. a smaller box or limit.");
    }
    send(answer, res);
  };

  s.Get(".*", handle);
  s.Post(".*", handle);
  s.Put(".*", handle);
  s.Delete(".*", handle);
  s.Patch(".*", handle);
  s.Options(".*", handle);
  s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    const char* why = res.status == 414   ? "The request's address is too long."
                      : res.status == 413 ? "The request's body is too large."
                                          : "The request is malformed.";
    res.set_content(errorResponse(res.status, "BadRequest", why).body, "application/json");
  });
  s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    send(errorResponse(500, "ServerError", "The request failed."), res);
  });
}

WebServer::~WebServer() = default;

int WebServer::bind() {
  State& s = *state_;
  int port = s.options.port == 0
                 ? s.server.bind_to_any_port(s.options.bind)
                 : (s.server.bind_to_port(s.options.bind, s.options.port) ? s.options.port : -1);
  if (port <= 0) {
    throw Error("Cannot listen at " + s.options.bind + " port " + std::to_string(s.options.port) +
                    ": the address is in use or not this machine's.",
                Error::Cause::kSystem);
  }
  s.port = port;
  std::string host =
      s.options.bind.find(':') != std::string::npos ? "[" + s.options.bind + "]" : s.options.bind;
  s.api = std::make_unique<FeaturesApi>(s.source, "http://" + host + ":" + std::to_string(port),
                                        "metdb locations");
  return port;
}

std::string WebServer::url() const {
  std::string host = state_->options.bind.find(':') != std::string::npos
                         ? "[" + state_->options.bind + "]"
                         : state_->options.bind;
  return "http://" + host + ":" + std::to_string(state_->port) + "/";
}

bool WebServer::run() { return state_->server.listen_after_bind(); }

void WebServer::stop() { state_->server.stop(); }

void WebServer::onReload(std::function<void(const std::string&)> tell) {
  state_->source.onReload(std::move(tell));
}

}  // namespace metdb
