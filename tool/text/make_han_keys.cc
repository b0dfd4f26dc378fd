// Writes the table of the Han ideographs' search keys (HanKeyTable.h) as a
// C++ source file: make_han_keys OUTPUT.
//
// It runs at build time the transliterator that the tool runs on each
// character (SearchKeyRules.h), over every code point of the table's
// blocks, so that the table gives exactly the keys that ICU would give at
// run time. The keys are few (some 500 pinyin syllables and the characters
// that fold to another ideograph), so each is written once and the blocks
// hold their numbers.
#include <unicode/translit.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tool/text/SearchKeyRules.h"

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// The blocks of HanKeys.h. Planes 2 and 3 are one block up to the last
// ideograph of Unicode 15 (Extension H): their few unassigned gaps cost
// less than more blocks would.
constexpr Range kRanges[] = {
    {0x3400, 0x4DBF},    // Extension A
    {0x4E00, 0x9FFF},    // CJK Unified Ideographs
    {0xF900, 0xFAFF},    // CJK Compatibility Ideographs
    {0x20000, 0x323AF},  // Extensions B to H, Compatibility Ideographs Supplement
};

constexpr std::uint16_t kAsWritten = 0;  // as in HanKeyTable.h

// text as the body of a C++ string literal: octal escapes (never more than
// three digits, so that no following character is taken into one) for all
// but printable ASCII.
std::string quoted(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      out.push_back(static_cast<char>(c));
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  return out;
}

int fail(const std::string& message) {
  std::fprintf(stderr, "make_han_keys: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return fail("usage: make_han_keys OUTPUT");
  const std::string output = argv[1];

  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Transliterator> transliterator(
      icu::Transliterator::createInstance(metdb::kSearchKeyTransliterator, UTRANS_FORWARD, status));
  if (U_FAILURE(status)) {
    return fail(std::string("no transliterator for search keys (") + u_errorName(status) + ")");
  }

  // Every code point's key, then the distinct keys numbered from 1 in their
  // byte order, so that the output does not depend on anything but ICU.
  // No key: the character is its own.
  std::vector<std::vector<std::optional<std::string>>> keys;
  std::map<std::string, std::uint16_t> numbers;
  for (const Range& range : kRanges) {
    keys.emplace_back();
    for (char32_t c = range.first; c <= range.last; ++c) {
      icu::UnicodeString text(static_cast<UChar32>(c));
      icu::UnicodeString folded = text;
      transliterator->transliterate(folded);
      std::optional<std::string> key;
      if (folded != text) {
        folded.toUTF8String(key.emplace());
        numbers.emplace(*key, 0);
      }
      keys.back().push_back(key);
    }
  }
  std::string keyText;
  std::vector<std::size_t> keyStart = {0};
  for (auto& [key, number] : numbers) {
    number = static_cast<std::uint16_t>(keyStart.size());
    keyStart.push_back(keyText.size());
    keyText += key;
  }
  keyStart.push_back(keyText.size());
  if (keyStart.size() > 0xFFFF || keyText.size() > 0xFFFF) {
    return fail("too many keys for 16-bit key numbers and offsets");
  }

  const std::string partial = output + ".partial";
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  out << "// The Han ideographs' search keys (HanKeyTable.h), written by make_han_keys\n"
      << "// with ICU " << U_ICU_VERSION << ". Made at build time; not to be edited.\n"
      << "#include \"tool/text/HanKeyTable.h\"\n\n"
      << "namespace metdb {\n\nnamespace han_key_table {\n\n";
  out << "const char kKeyText[] =";
  for (std::size_t k = 1; k + 1 < keyStart.size(); k += 16) {
    std::size_t end = std::min(k + 16, keyStart.size() - 1);
    out << "\n    \"" << quoted(keyText.substr(keyStart[k], keyStart[end] - keyStart[k])) << '"';
  }
  out << ";\n\nconst std::uint16_t kKeyStart[] = {";
  for (std::size_t k = 0; k < keyStart.size(); ++k) {
    out << (k % 16 == 0 ? "\n    " : "") << keyStart[k] << ',';
  }
  out << "\n};\n\nnamespace {\n";
  for (std::size_t r = 0; r < keys.size(); ++r) {
    out << "\nconst std::uint16_t kBlock" << r << "[] = {";
    for (std::size_t i = 0; i < keys[r].size(); ++i) {
      const std::optional<std::string>& key = keys[r][i];
      out << (i % 16 == 0 ? "\n    " : "") << (key ? numbers.at(*key) : kAsWritten) << ',';
    }
    out << "\n};\n";
  }
  out << "\n}  // namespace\n\nconst Block kBlocks[] = {\n";
  for (std::size_t r = 0; r < keys.size(); ++r) {
    char line[80];
    std::snprintf(line, sizeof line, "    {0x%X, 0x%X, kBlock%zu},\n",
                  static_cast<unsigned>(kRanges[r].first), static_cast<unsigned>(kRanges[r].last),
                  r);
    out << line;
  }
  out << "};\n\nconst std::size_t kBlockCount = " << keys.size() << ";\n\n"
      << "}  // namespace han_key_table\n\n}  // namespace metdb\n";
  out.close();
  if (!out) return fail("cannot write " + partial);
  if (std::rename(partial.c_str(), output.c_str()) != 0) return fail("cannot write " + output);
  return 0;
}
