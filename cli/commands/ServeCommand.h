#ifndef METDB_CLI_COMMANDS_SERVECOMMAND_H_
#define METDB_CLI_COMMANDS_SERVECOMMAND_H_

namespace CLI {
class App;
}

namespace metdb {

class ToolContext;

// serve: the database over HTTP, read-only (OGC API - Features and a map).
void addServeCommand(CLI::App* app, ToolContext* context);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDS_SERVECOMMAND_H_
