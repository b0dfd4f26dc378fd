#ifndef METDB_CLI_TOOLCONTEXT_H_
#define METDB_CLI_TOOLCONTEXT_H_

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tool/Progress.h"

namespace CLI {
class App;
}  // namespace CLI

namespace metdb {

// Exit statuses of the metdb tool; besides these, 128 + the signal's number
// when SIGINT, SIGTERM or SIGHUP interrupted the command (130 for Ctrl-C).
enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // the command ran and failed, or found faulty data
  kExitUsage = 2,    // the command line is wrong
};

// What the commands of the tool share: the output streams, the options that
// come before the command, and the action of each command. The streams are
// owned by the caller and outlive the context.
class ToolContext {
 public:
  ToolContext(std::ostream& out, std::ostream& err) : out(out), err(err) {}
  ToolContext(const ToolContext&) = delete;
  ToolContext& operator=(const ToolContext&) = delete;

  // Normal output (tables, exports, reports) and messages (errors, warnings).
  std::ostream& out;
  std::ostream& err;

  // --db DATAFILE: the data file to work on; empty when not given (then
  // ToolDatabase asks METDB_DB, and then the configured current database).
  std::string databaseFile;
  // --wait SECONDS: how long a command waits for another process that holds
  // the database.
  double waitSeconds = 120;

  // Registers what runs when `command` (a subcommand without subcommands of
  // its own) is given; the action returns the exit status.
  void addCommand(CLI::App* command, std::function<int()> action) {
    commands_.emplace_back(command, std::move(action));
  }
  const std::vector<std::pair<CLI::App*, std::function<int()>>>& commands() const {
    return commands_;
  }

  // Writes one message line, "metdb: " and the sentence, to err.
  void error(const std::string& sentence) {
    eraseProgress();
    err << "metdb: " << sentence << '\n';
  }
  // The same with "warning: " before the sentence.
  void warning(const std::string& sentence) {
    eraseProgress();
    err << "metdb: warning: " << sentence << '\n';
  }

  // For a command that finds its command line wrong only when it runs (a
  // combination of options, say): keeps the sentence, which runTool reports
  // with the command's usage line, and returns kExitUsage.
  int usageError(const std::string& sentence) {
    usageProblem_ = sentence;
    return kExitUsage;
  }
  const std::string& usageProblem() const { return usageProblem_; }

  // Called by a command right after its change to the database, or its
  // output file, is committed (renamed into place or written). From then on
  // an interruption can no longer leave things as they were, and runTool
  // says that the change was made.
  void markChanged() { changed_ = true; }
  bool changed() const { return changed_; }

 private:
  std::vector<std::pair<CLI::App*, std::function<int()>>> commands_;
  std::string usageProblem_;
  bool changed_ = false;
};

}  // namespace metdb

#endif  // METDB_CLI_TOOLCONTEXT_H_
