#include "cli/BashCompletion.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <string>
#include <vector>

#include "cli/CommandTree.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

void collectCommands(const CLI::App& command, std::vector<const CLI::App*>* all) {
  all->push_back(&command);
  for (const CLI::App* sub : subcommandsOf(command)) {
    collectCommands(*sub, all);
  }
}

std::vector<std::string> optionWords(const CLI::Option& option) {
  std::vector<std::string> words;
  for (const std::string& l : option.get_lnames()) words.push_back("--" + l);
  for (const std::string& s : option.get_snames()) words.push_back("-" + s);
  return words;
}

bool isWord(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::islower(static_cast<unsigned char>(c)) &&
        !std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
      return false;
    }
  }
  return true;
}

// The words an option's value can be, or "@file" when its value is a file
// name, or "" when it is neither (a number, a pattern). The full type name
// is "FORMAT:{csv,json}" with a member check, "table|csv|json" when the
// value name lists them.
std::string optionValues(const CLI::Option& option) {
  std::string type = option.get_type_name();
  std::string::size_type open = type.find(":{");
  if (open != std::string::npos && type.back() == '}') {
    std::vector<std::string> members =
        text::split(type.substr(open + 2, type.size() - open - 3), ',');
    std::string values;
    for (const std::string& m : members) {
      if (isWord(m)) values += (values.empty() ? "" : " ") + m;
    }
    return values;
  }
  std::string name = type.substr(0, type.find(':'));
  std::vector<std::string> alternatives = text::split(name, '|');
  if (alternatives.size() > 1) {
    std::string values;
    for (const std::string& a : alternatives) {
      if (!isWord(a)) return name.find("FILE") != std::string::npos ? "@file" : "";
      values += (values.empty() ? "" : " ") + a;
    }
    return values;
  }
  return name.find("FILE") != std::string::npos ? "@file" : "";
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

}  // namespace

void writeBashCompletion(const CLI::App& app, std::ostream& out) {
  std::vector<const CLI::App*> commands;
  collectCommands(app, &commands);

  out << "# bash completion for metdb                              -*- shell-script -*-\n"
         "# Written by metdb --write-bash-completion from the tool's own options; edit\n"
         "# those.\n"
         "\n"
         "# The subcommands of the command that $1 names (\"\" for the program).\n"
         "_metdb_commands() {\n"
         "  case $1 in\n";
  for (const CLI::App* command : commands) {
    std::vector<std::string> names;
    for (const CLI::App* sub : subcommandsOf(*command)) {
      names.push_back(sub->get_name());
    }
    if (!names.empty())
      out << "    '" << commandWords(*command) << "') echo '" << joined(names) << "' ;;\n";
  }
  out << "  esac\n"
         "}\n"
         "\n"
         "# The options of that command, and those of them that take a value.\n"
         "_metdb_options() {\n"
         "  case $1 in\n";
  for (const CLI::App* command : commands) {
    std::vector<std::string> words;
    for (const CLI::Option* option : shownOptions(*command, false)) {
      for (const std::string& w : optionWords(*option)) words.push_back(w);
    }
    if (!words.empty())
      out << "    '" << commandWords(*command) << "') echo '" << joined(words) << "' ;;\n";
  }
  out << "  esac\n"
         "}\n"
         "_metdb_valued() {\n"
         "  case $1 in\n";
  for (const CLI::App* command : commands) {
    std::vector<std::string> words;
    for (const CLI::Option* option : shownOptions(*command, false)) {
      if (option->get_items_expected_max() == 0) continue;
      for (const std::string& w : optionWords(*option)) words.push_back(w);
    }
    if (!words.empty())
      out << "    '" << commandWords(*command) << "') echo '" << joined(words) << "' ;;\n";
  }
  out << "  esac\n"
         "}\n"
         "\n"
         "# The values of option $2 of command $1: words, @file, or nothing.\n"
         "_metdb_values() {\n"
         "  case \"$1 $2\" in\n";
  for (const CLI::App* command : commands) {
    for (const CLI::Option* option : shownOptions(*command, false)) {
      if (option->get_items_expected_max() == 0) continue;
      std::string values = optionValues(*option);
      if (values.empty()) continue;
      std::vector<std::string> patterns;
      for (const std::string& w : optionWords(*option)) {
        patterns.push_back("'" + commandWords(*command) + " " + w + "'");
      }
      std::string pattern;
      for (const std::string& p : patterns) pattern += (pattern.empty() ? "" : " | ") + p;
      out << "    " << pattern << ") echo '" << values << "' ;;\n";
    }
  }
  out << "  esac\n"
         "}\n"
         "\n"
         "_metdb() {\n"
         "  local cur prev words cword split=false\n"
         "  if declare -F _init_completion >/dev/null; then\n"
         "    _init_completion -s || return\n"
         "  else\n"
         "    words=(\"${COMP_WORDS[@]}\") cword=$COMP_CWORD\n"
         "    cur=${words[cword]} prev=${words[cword - 1]}\n"
         "  fi\n"
         "  # The command the words before the cursor reached, skipping options\n"
         "  # and their values.\n"
         "  local key='' i word\n"
         "  for ((i = 1; i < cword; i++)); do\n"
         "    word=${words[i]}\n"
         "    if [[ $word == -* ]]; then\n"
         "      [[ $word != *=* && \" $(_metdb_valued \"$key\") \" == *\" $word \"* ]] && ((i++))\n"
         "    elif [[ \" $(_metdb_commands \"$key\") \" == *\" $word \"* ]]; then\n"
         "      key=${key:+$key }$word\n"
         "    fi\n"
         "  done\n"
         "  if [[ $prev == -* && \" $(_metdb_valued \"$key\") \" == *\" $prev \"* ]]; then\n"
         "    local values\n"
         "    values=$(_metdb_values \"$key\" \"$prev\")\n"
         "    if [[ $values == @file ]]; then\n"
         "      _metdb_files\n"
         "    elif [[ -n $values ]]; then\n"
         "      mapfile -t COMPREPLY < <(compgen -W \"$values\" -- \"$cur\")\n"
         "    fi\n"
         "    return\n"
         "  fi\n"
         "  $split && return\n"
         "  if [[ $cur == -* ]]; then\n"
         "    mapfile -t COMPREPLY < <(compgen -W \"$(_metdb_options \"$key\")\" -- \"$cur\")\n"
         "    return\n"
         "  fi\n"
         "  local commands\n"
         "  commands=$(_metdb_commands \"$key\")\n"
         "  if [[ -n $commands ]]; then\n"
         "    mapfile -t COMPREPLY < <(compgen -W \"$commands\" -- \"$cur\")\n"
         "    return\n"
         "  fi\n"
         "  _metdb_files\n"
         "}\n"
         "\n"
         "_metdb_files() {\n"
         "  if declare -F _filedir >/dev/null; then\n"
         "    _filedir\n"
         "  else\n"
         "    mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
         "  fi\n"
         "}\n"
         "\n"
         "complete -F _metdb metdb\n";
}

}  // namespace metdb
