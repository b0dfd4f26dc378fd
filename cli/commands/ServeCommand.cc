#include "cli/commands/ServeCommand.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "cli/ToolContext.h"
#include "cli/ToolDatabase.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/web/WebServer.h"

namespace metdb {

namespace {

int serve(const ServeOptions& given, ToolContext& context) {
  ServeOptions options = given;
  {
    ToolDatabase access(context);
    options.dataFile = access.dataFile();
    options.waitSeconds = access.waitSeconds();
  }
  WebServer server(options);
  server.onReload([&context](const std::string& sentence) {
    context.err << "metdb: " << sentence << "\n" << std::flush;
  });
  server.bind();
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  bool listened = true;
  std::thread listener([&] {
    bool ok = server.run();
    std::lock_guard<std::mutex> lock(mutex);
    listened = ok;
    done = true;
    ended.notify_all();
  });
  // The line a script or test waits for: the server answers from now on.
  context.out << "Serving " << options.dataFile << " at " << server.url() << "\n" << std::flush;
  // The program's interruption (Ctrl-C) reaches the server through the
  // check point, which this thread calls while the listener serves.
  try {
    std::unique_lock<std::mutex> lock(mutex);
    while (!done) {
      ended.wait_for(lock, std::chrono::milliseconds(200));
      lock.unlock();
      checkPoint();
      lock.lock();
    }
  } catch (...) {
    server.stop();
    listener.join();
    throw;
  }
  listener.join();
  if (!listened) throw Error("The server stopped listening at " + server.url() + ".");
  return kExitOk;
}

}  // namespace

void addServeCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "serve", "Serve the database read-only over HTTP: OGC API - Features and a map page");
  auto o = std::make_shared<ServeOptions>();
  command
      ->add_option("--bind", o->bind,
                   "The address to listen at; another than 127.0.0.1 opens the server to the "
                   "network")
      ->type_name("ADDRESS")
      ->capture_default_str();
  command->add_option("--port", o->port, "The port to listen at; 0: any free one")
      ->type_name("PORT")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  command
      ->add_option("--max-connections", o->maxConnections,
                   "The most connections served at once; more wait their turn")
      ->type_name("N")
      ->check(CLI::Range(1, 4096))
      ->capture_default_str();
  command
      ->add_option("--workers", o->workers,
                   "How many requests are worked on at once (default 0: every connection's); "
                   "the others wait in turn, up to the time limit, then get a 503")
      ->type_name("N")
      ->check(CLI::Range(0, 1024))
      ->capture_default_str();
  command
      ->add_option("--time-limit", o->requestSeconds,
                   "The most seconds one request may take; one that takes longer is "
                   "answered 503")
      ->type_name("SECONDS")
      ->check(CLI::Range(0.1, 3600.0))
      ->capture_default_str();
  command->footer(
      "The server prints \"Serving DATAFILE at http://ADDRESS:PORT/\" once it answers.\n"
      "A browser there sees a map of every location with a search box; GIS software\n"
      "(QGIS, GDAL's OAPIF driver) reads the collection \"locations\" at the same\n"
      "address. The items take bbox=WEST,SOUTH,EAST,NORTH (a west east of the east\n"
      "crosses the 180th meridian), limit (1 to 10000) and offset, and the tool's own\n"
      "q (find; identifiers too), near=LAT,LON with k or within_km, country, continent,\n"
      "level and active=YYYY-MM-DD; f=json or f=html chooses the format. Features carry\n"
      "the station file's columns (ids, wmo, elevation...), null where unknown. When\n"
      "another process changes the database (or its station file), the\n"
      "next request sees the change. Ctrl-C stops the server.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt serve\n"
      "  metdb --db stations.bmt serve --port 0\n"
      "  metdb --db stations.bmt serve --bind 0.0.0.0 --port 8080");
  context->addCommand(command, [o, context] { return serve(*o, *context); });
}

}  // namespace metdb
