#include "cli/Tool.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <exception>
#include <fstream>
#include <optional>

#include "cli/BashCompletion.h"
#include "cli/Interrupted.h"
#include "cli/ManPages.h"
#include "cli/ProgressLine.h"
#include "cli/ToolContext.h"
#include "cli/commands/AddCommand.h"
#include "cli/commands/CheckCommand.h"
#include "cli/commands/CompactCommand.h"
#include "cli/commands/CreateCommand.h"
#include "cli/commands/DeleteCommand.h"
#include "cli/commands/ExportCommand.h"
#include "cli/commands/FindCommand.h"
#include "cli/commands/ImportCommand.h"
#include "cli/commands/InfoCommand.h"
#include "cli/commands/ListCommand.h"
#include "cli/commands/MapCommand.h"
#include "cli/commands/NearestCommand.h"
#include "cli/commands/RenameCommand.h"
#include "cli/commands/SelectionCommand.h"
#include "cli/commands/ServeCommand.h"
#include "cli/commands/SetCommand.h"
#include "cli/commands/ShowCommand.h"
#include "cli/commands/TreeCommand.h"
#include "cli/commands/ValidateCommand.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/text/Text.h"

#include "module/CurrentDatabase.h"

namespace metdb {

namespace {

// The leaf of the subcommands that the parse reached, or app itself.
const CLI::App* reachedCommand(const CLI::App& app) {
  const CLI::App* current = &app;
  for (;;) {
    std::vector<CLI::App*> subs = current->get_subcommands();
    if (subs.empty()) return current;
    current = subs.front();
  }
}

// "metdb validate" for the validate subcommand.
std::string commandPath(const CLI::App* command) {
  std::string path = command->get_name();
  for (const CLI::App* p = command->get_parent(); p != nullptr; p = p->get_parent()) {
    path = p->get_name() + " " + path;
  }
  return path;
}

// The report of a wrong command line: the sentence, the command's usage line
// and a hint to its --help.
int reportUsage(const CLI::App* command, const std::string& message, std::ostream& err) {
  std::string path = commandPath(command);
  err << path << ": " << text::sentence(message) << '\n'
      << CLI::Formatter().make_usage(command, path) << "Run \"" << path
      << " --help\" for more, with an example.\n";
  return kExitUsage;
}

// The name a signal is known by in the messages.
std::string signalName(int signalNumber) {
  switch (signalNumber) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
  }
  return "signal " + std::to_string(signalNumber);
}

// Reports that signalNumber interrupted the command, saying whether its
// change had been made, and returns the status a shell gives a process
// ended by that signal: 128 + its number.
int reportInterruption(int signalNumber, ToolContext& context) {
  context.error("Interrupted by " + signalName(signalNumber) +
                (context.changed() ? " after the change was made; the database holds it."
                                   : "; nothing was changed."));
  return 128 + signalNumber;
}

// Parses the command line and runs the command it names.
int runCommand(int argc, const char* const* argv, ToolContext& context) {
  std::ostream& out = context.out;
  std::ostream& err = context.err;
  CLI::App app("Builds, inspects and maintains databases of meteorological locations.", "metdb");
  app.set_version_flag("--version", toolVersionLine(), "Print the version and exit");
  app.require_subcommand(1);
  app.add_option("--db", context.databaseFile,
                 "The data file of the database to work on (default: the one METDB_DB names, "
                 "else the configured current database, from ORVANE.INI beside the library)")
      ->type_name("DATAFILE");
  app.add_option("--wait", context.waitSeconds,
                 "How long a command waits for another process that is using the database "
                 "(default 120)")
      ->type_name("SECONDS")
      ->check(CLI::Range(0.0, 1e6));
  app.footer(
      "Run \"metdb COMMAND --help\" for the options and an example of each command.\n"
      "Ctrl-C stops a command cleanly: the database is left as it was before the\n"
      "command, or as after it, and the tool says which.\n"
      "\n"
      "Environment:\n"
      "  METDB_DB  the data file to work on when --db is not given; unset or empty,\n"
      "            the configured database (ORVANE.INI beside libmetdb.so) is used.\n"
      "            \"metdb info\" says which database a command works on, and why.\n"
      "\n"
      "Exit status:\n"
      "  0        success\n"
      "  1        failure; for check and selection check, a fault was found\n"
      "  2        wrong usage\n"
      "  128+N    stopped by signal N: 130 for Ctrl-C (SIGINT), 143 for SIGTERM\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt create data/stations.csv\n"
      "  metdb --db stations.bmt tree --depth 2\n"
      "  export METDB_DB=$HOME/stations.bmt; metdb list --country Norway");

  addCreateCommand(&app, &context);
  addInfoCommand(&app, &context);
  addTreeCommand(&app, &context);
  addListCommand(&app, &context);
  addFindCommand(&app, &context);
  addExportCommand(&app, &context);
  addNearestCommand(&app, &context);
  addMapCommand(&app, &context);
  addShowCommand(&app, &context);
  addAddCommand(&app, &context);
  addSetCommand(&app, &context);
  addRenameCommand(&app, &context);
  addDeleteCommand(&app, &context);
  addCompactCommand(&app, &context);
  addImportCommand(&app, &context);
  addSelectionCommand(&app, &context);
  addCheckCommand(&app, &context);
  addValidateCommand(&app, &context);
  addServeCommand(&app, &context);

  // For the build, which installs what they write: hidden from --help, and
  // taken from this very app so that the manual and the completion say what
  // the tool parses.
  app.add_option_function<std::string>(
         "--write-man-pages",
         [&app](const std::string& folder) {
           writeManPages(app, toolVersionLine(), folder);
           throw CLI::Success();
         },
         "Write the manual pages into FOLDER")
      ->type_name("FOLDER")
      ->group("");
  app.add_option_function<std::string>(
         "--write-bash-completion",
         [&app](const std::string& file) {
           std::ofstream script(file, std::ios::binary | std::ios::trunc);
           writeBashCompletion(app, script);
           script.close();
           if (!script) throw Error("Cannot write the completion script \"" + file + "\".");
           throw CLI::Success();
         },
         "Write the bash completion script to FILE")
      ->type_name("FILE")
      ->group("");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    // --help or --version: CLI11 prints them and yields status 0.
    app.exit(e, out, err);
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    const CLI::App* command = reachedCommand(app);
    std::string message = e.what();
    std::vector<std::string> rest = command->remaining();
    if (!command->get_subcommands({}).empty() && !rest.empty() && !rest.front().empty() &&
        rest.front()[0] != '-') {
      // A word where a command should be: say which ones there are.
      message = "\"" + rest.front() + "\" is not a command; the commands are";
      const char* separator = " ";
      for (const CLI::App* sub : command->get_subcommands({})) {
        message += separator + sub->get_name();
        separator = ", ";
      }
    }
    return reportUsage(command, message, err);
  }

  const CLI::App* command = reachedCommand(app);
  for (const auto& [registered, action] : context.commands()) {
    if (registered != command) continue;
    int status = action();
    if (!context.usageProblem().empty()) {
      return reportUsage(command, context.usageProblem(), err);
    }
    out.flush();
    if (!out) {
      context.error(
          "Cannot write the output (its reader went away, or the disk is full); it is "
          "incomplete.");
      return kExitFailure;
    }
    return status;
  }
  context.error("\"" + commandPath(command) + "\" is not a command that can run on its own.");
  return kExitUsage;
}

}  // namespace

std::string toolVersionLine() { return "metdb " + std::string(getMetDLLVersion()); }

int runTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // Outside the try block, so that an interruption can still tell whether
  // the change was made.
  ToolContext context(out, err);
  // The library's long work stops at its check points once a signal came.
  setCheckPointHook([] { stopIfInterrupted(); });
  // Long work shows how far it got, on a terminal only.
  ProgressLine progress(err);
  setProgressDisplay(isTerminal(err) ? &progress : nullptr);
  struct NoDisplayAfter {
    ~NoDisplayAfter() { setProgressDisplay(nullptr); }
  } noDisplayAfter;
  std::optional<OutputBesideProgress> sharedTerminal;
  if (isTerminal(err) && isTerminal(out)) sharedTerminal.emplace(out);
  try {
    int status = runCommand(argc, argv, context);
    // A signal after the command's last check point: it finished all the
    // same, and the user hears what it left.
    if (int signalNumber = interruptionSignal()) return reportInterruption(signalNumber, context);
    return status;
  } catch (const Interrupted& stop) {
    return reportInterruption(stop.signal(), context);
  } catch (const Error& failure) {
    context.error(failure.what());
    return kExitFailure;
  } catch (BMTFile* db) {
    // The library's signal that a record could not be read: the data file
    // cannot be opened any more.
    context.error(lostDataFile(db->fileName).what());
    return kExitFailure;
  } catch (const std::exception& e) {
    err << "metdb: internal error: " << e.what() << '\n';
    return kExitFailure;
  } catch (...) {
    err << "metdb: internal error: an unknown exception ended the command.\n";
    return kExitFailure;
  }
}

}  // namespace metdb
