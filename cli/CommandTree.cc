#include "cli/CommandTree.h"

#include <CLI/CLI.hpp>

namespace metdb {

std::string commandWords(const CLI::App& command) {
  std::string words;
  for (const CLI::App* c = &command; c->get_parent() != nullptr; c = c->get_parent()) {
    words = c->get_name() + (words.empty() ? "" : " " + words);
  }
  return words;
}

std::string commandPath(const CLI::App& command) {
  const CLI::App* program = &command;
  while (program->get_parent() != nullptr) program = program->get_parent();
  std::string words = commandWords(command);
  return words.empty() ? program->get_name() : program->get_name() + " " + words;
}

std::vector<const CLI::App*> subcommandsOf(const CLI::App& command) {
  return command.get_subcommands([](const CLI::App*) { return true; });
}

std::vector<const CLI::Option*> shownOptions(const CLI::App& command, bool positional) {
  return command.get_options([positional](const CLI::Option* o) {
    return !o->get_group().empty() && o->nonpositional() != positional;
  });
}

}  // namespace metdb
