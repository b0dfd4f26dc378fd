#include "cli/ManPages.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "cli/CommandTree.h"
#include "tool/Error.h"
#include "tool/text/Text.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

// The page's name: the command path with dashes, "metdb-selection-new".
std::string pageName(const CLI::App& command) {
  std::string name = commandPath(command);
  for (char& c : name) {
    if (c == ' ') c = '-';
  }
  return name;
}

// Every command that runs on its own, in the order --help lists them.
void collectLeaves(const CLI::App& command, std::vector<const CLI::App*>* leaves) {
  for (const CLI::App* sub : subcommandsOf(command)) {
    if (subcommandsOf(*sub).empty()) {
      leaves->push_back(sub);
    } else {
      collectLeaves(*sub, leaves);
    }
  }
}

// Appends the UTF-8 character at text[*i] as roff's \[uXXXX], which every
// formatter reads whatever the page's encoding, and moves *i to its last
// byte. A byte that starts no well-formed character is kept as it is.
void appendNonAscii(const std::string& text, std::size_t* i, std::string* out) {
  const std::size_t length = text::wellFormedLength(text, *i);
  if (length == 0) {
    *out += text[*i];
    return;
  }
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\[u%04lX]",
                static_cast<unsigned long>(text::codePointAt(text, *i, length)));
  *out += escape;
  *i += length - 1;
}

// Text for a roff text line: backslashes escaped, dashes of option words
// ("--db", "-k") made minus signs so that they copy as typed, and a line
// start that roff would read as a request protected.
std::string roffText(const std::string& text) {
  std::string out;
  bool optionWord = false;
  char before = ' ';
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      appendNonAscii(text, &i, &out);
      before = 'x';
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) optionWord = false;
    if (c == '-' && (before == ' ' || before == '(' || before == '[' || before == '|' ||
                     before == '"' || before == '\'' || before == '`')) {
      optionWord = true;
    }
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && optionWord) {
      out += "\\-";
    } else {
      out += c;
    }
    before = c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

// A line set as typed (examples, indented blocks): every dash a minus sign
// and quotes as typewriter quotes, so that a copied example runs.
std::string roffLiteral(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      appendNonAscii(text, &i, &out);
    } else if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\'') {
      out += "\\(aq";
    } else if (c == '`') {
      out += "\\(ga";
    } else {
      out += c;
    }
  }
  if (!out.empty() && out[0] == '.') out.insert(0, "\\&");
  return out;
}

std::string bold(const std::string& text) { return "\\fB" + roffLiteral(text) + "\\fR"; }
std::string italic(const std::string& text) { return "\\fI" + roffLiteral(text) + "\\fR"; }

// The value's name as --help shows it, without the validators' part
// ("table|csv|json", not "table|csv|json:{table,csv,json}").
std::string valueName(const CLI::Option& option) {
  std::string name = option.get_type_name();
  std::string::size_type colon = name.find(':');
  if (colon != std::string::npos) name.erase(colon);
  return name;
}

bool takesValue(const CLI::Option& option) { return option.get_items_expected_max() > 0; }

// "\fB\-k\fR, \fB\-\-limit\fR \fIN\fR".
std::string optionHeading(const CLI::Option& option) {
  std::string heading;
  for (const std::string& s : option.get_snames()) {
    heading += (heading.empty() ? "" : ", ") + bold("-" + s);
  }
  for (const std::string& l : option.get_lnames()) {
    heading += (heading.empty() ? "" : ", ") + bold("--" + l);
  }
  if (takesValue(option) && !valueName(option).empty()) heading += " " + italic(valueName(option));
  return heading;
}

// "STATIONS", "[FILE]", "TEXT..." for a positional argument.
std::string argumentSynopsis(const CLI::Option& option) {
  std::string name = italic(option.get_name());
  if (option.get_items_expected_max() > 1) name += "...";
  return option.get_required() ? name : "[" + name + "]";
}

// The first letter in lower case unless the word is an abbreviation, and no
// closing full stop: the NAME line's style.
std::string nameLineDescription(std::string text) {
  if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
      std::islower(static_cast<unsigned char>(text[1]))) {
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

bool indented(const std::string& line) { return !line.empty() && line[0] == ' '; }

// "Examples:" or "Exit status:" alone on a line, not indented: a heading of
// two words at most.
bool isHeading(const std::string& line) {
  return !line.empty() && !indented(line) && line.back() == ':' &&
         std::count(line.begin(), line.end(), ' ') <= 1;
}

// A footer cut into blocks at its blank lines.
struct Block {
  std::string heading;  // "Examples", "Exit status"; empty for a paragraph
  std::vector<std::string> lines;
};

std::vector<Block> footerBlocks(const std::string& footer) {
  std::vector<Block> blocks;
  std::istringstream in(footer);
  std::string line;
  bool open = false;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(' ') == std::string::npos) {
      open = false;
      continue;
    }
    if (!open) {
      blocks.emplace_back();
      open = true;
      if (isHeading(line)) {
        blocks.back().heading = line.substr(0, line.size() - 1);
        continue;
      }
    }
    blocks.back().lines.push_back(line);
  }
  return blocks;
}

bool isExamples(const Block& block) {
  return block.heading == "Example" || block.heading == "Examples";
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A block's lines: plain lines as filled text, indented lines as typed.
void writeLines(std::ostream& out, const std::vector<std::string>& lines) {
  bool literal = false;
  for (const std::string& line : lines) {
    if (indented(line) != literal) {
      literal = indented(line);
      out << (literal ? ".RS 2\n.nf\n" : ".fi\n.RE\n");
    }
    out << (literal ? roffLiteral(line.substr(2)) : roffText(line)) << '\n';
  }
  if (literal) out << ".fi\n.RE\n";
}

// One paragraph per example; a line ending in a backslash goes on in the
// next one, which stays in the same paragraph.
void writeExamples(std::ostream& out, const std::vector<std::string>& lines) {
  bool continued = false;
  for (const std::string& line : lines) {
    std::string::size_type start = line.find_first_not_of(' ');
    if (!continued) {
      out << ".PP\n.RS 4\n.nf\n" << roffLiteral(line.substr(start)) << '\n';
    } else {
      out << roffLiteral(line.substr(2)) << '\n';
    }
    continued = !line.empty() && line.back() == '\\';
    if (!continued) out << ".fi\n.RE\n";
  }
  if (continued) out << ".fi\n.RE\n";
}

void writeFooterSections(std::ostream& out, const std::vector<Block>& blocks) {
  for (const Block& block : blocks) {
    if (block.heading.empty() || isExamples(block)) continue;
    out << ".SH " << upper(block.heading) << '\n';
    writeLines(out, block.lines);
  }
  for (const Block& block : blocks) {
    if (!isExamples(block)) continue;
    out << ".SH EXAMPLES\n";
    writeExamples(out, block.lines);
  }
}

void writeOptions(std::ostream& out, const CLI::App& command) {
  std::vector<const CLI::Option*> arguments = shownOptions(command, true);
  std::vector<const CLI::Option*> options = shownOptions(command, false);
  if (arguments.empty() && options.empty()) return;
  out << ".SH OPTIONS\n";
  for (const CLI::Option* argument : arguments) {
    out << ".TP\n"
        << italic(argument->get_name()) << '\n'
        << roffText(text::sentence(argument->get_description())) << '\n';
  }
  for (const CLI::Option* option : options) {
    out << ".TP\n"
        << optionHeading(*option) << '\n'
        << roffText(text::sentence(option->get_description())) << '\n';
  }
}

void writeHeader(std::ostream& out, const CLI::App& command, const std::string& version) {
  out << ".\\\" Written by metdb --write-man-pages from the tool's own help; edit that.\n"
      << ".TH " << roffLiteral(upper(pageName(command))) << " 1 \"\" \"" << roffLiteral(version)
      << "\" \"metdb manual\"\n"
      // Option names and examples read better unbroken.
      << ".nh\n"
      << ".SH NAME\n"
      << roffLiteral(pageName(command)) << " \\- "
      << roffText(nameLineDescription(command.get_description())) << '\n';
}

// metdb [--db DATAFILE] [--wait SECONDS]: the program's options with a value,
// which come before the command.
std::string programSynopsis(const CLI::App& program) {
  std::string synopsis = bold("metdb");
  for (const CLI::Option* option : shownOptions(program, false)) {
    if (!takesValue(*option) || option->get_lnames().empty()) continue;
    synopsis +=
        " [" + bold("--" + option->get_lnames().front()) + " " + italic(valueName(*option)) + "]";
  }
  return synopsis;
}

void writeCommandPage(std::ostream& out, const CLI::App& program, const CLI::App& command,
                      const std::string& version) {
  writeHeader(out, command, version);
  out << ".SH SYNOPSIS\n" << programSynopsis(program) << ' ' << bold(commandWords(command));
  if (!shownOptions(command, false).empty()) out << " [" << italic("OPTIONS") << "]";
  for (const CLI::Option* argument : shownOptions(command, true)) {
    out << ' ' << argumentSynopsis(*argument);
  }
  out << "\n.SH DESCRIPTION\n" << roffText(text::sentence(command.get_description())) << '\n';
  std::vector<Block> blocks = footerBlocks(command.get_footer());
  for (const Block& block : blocks) {
    if (!block.heading.empty()) continue;
    out << ".PP\n";
    writeLines(out, block.lines);
  }
  writeOptions(out, command);
  writeFooterSections(out, blocks);
  out << ".SH SEE ALSO\n" << bold("metdb") << "(1)\n";
}

void writeProgramPage(std::ostream& out, const CLI::App& program,
                      const std::vector<const CLI::App*>& commands, const std::string& version) {
  writeHeader(out, program, version);
  out << ".SH SYNOPSIS\n"
      << programSynopsis(program) << ' ' << italic("COMMAND") << " [" << italic("OPTIONS") << "] ["
      << italic("ARGUMENTS") << "]\n.br\n"
      << bold("metdb") << " [" << bold("--help") << "|" << bold("--version") << "]\n"
      << ".SH DESCRIPTION\n"
      << roffText(text::sentence(program.get_description())) << '\n';
  std::vector<Block> blocks = footerBlocks(program.get_footer());
  for (const Block& block : blocks) {
    if (!block.heading.empty()) continue;
    out << ".PP\n";
    writeLines(out, block.lines);
  }
  writeOptions(out, program);
  out << ".SH COMMANDS\n";
  for (const CLI::App* command : commands) {
    out << ".TP\n"
        << bold(commandWords(*command)) << '\n'
        << roffText(text::sentence(command->get_description())) << " See "
        << bold(pageName(*command)) << "(1).\n";
  }
  writeFooterSections(out, blocks);
  out << ".SH SEE ALSO\n";
  for (std::size_t i = 0; i < commands.size(); ++i) {
    out << bold(pageName(*commands[i])) << "(1)" << (i + 1 < commands.size() ? ",\n" : "\n");
  }
}

void writePage(const std::string& folder, const CLI::App& page,
               const std::function<void(std::ostream&)>& write) {
  std::string file = folder + "/" + pageName(page) + ".1";
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  write(out);
  out.close();
  if (!out) throw Error("Cannot write the manual page \"" + file + "\".");
}

}  // namespace

void writeManPages(const CLI::App& app, const std::string& version, const std::string& folder) {
  std::vector<const CLI::App*> commands;
  collectLeaves(app, &commands);
  writePage(folder, app, [&](std::ostream& out) { writeProgramPage(out, app, commands, version); });
  for (const CLI::App* command : commands) {
    writePage(folder, *command,
              [&](std::ostream& out) { writeCommandPage(out, app, *command, version); });
  }
}

}  // namespace metdb
