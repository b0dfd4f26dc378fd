// metdb find and nearest end to end, as a user runs them, against metdb
// info on the same database; and find's recall and time beside SQLite's
// FTS5 on the same names (docs/performance.md, "Find and nearest, end to end").
//
// Usage: bench_search --metdb PATH [--sizes N,N,...] [--repeat R] [--keep DIR]
//   PATH: the metdb tool. Default sizes 10^5 and 10^6. Each time is the
//   best of R runs (default 5) after one untimed run, the runs going round
//   the commands. --keep: the station
//   lists and databases stay in DIR/N/ (for profiling the same commands).
//
// For each size a station list of real-looking names is written (Latin
// names with and without accents; a few percent are real places, Cyrillic,
// Greek, Han and Hangul among them, spread over every state) and made a
// database with `metdb create`. Every command then runs as a fresh process
// with its output sent to /dev/null. The same names go into two FTS5
// tables (trigram, and unicode61 with remove_diacritics 2), whose build is
// timed apart; each query is then timed on its prepared statement.
//
// Recall counts the names a query should find: those whose key (the name
// in lower-case ASCII, written by this program beside each name it makes,
// not by metdb) holds the query's key (likewise written here) at the start
// of a word. metdb's figure counts the locations its `find --limit 0
// --format csv` reports matched by name.
// The names whose key from metdb's searchKey differs from the one written
// here are listed after the tables.
//
// Then the set-up of the search keys in a fresh process: the
// transliterator, and the first character of each script.
//
// Prints Markdown tables; files go to a folder under TMPDIR that is removed
// at the end. Exits 3 when a command fails or a check does not hold.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bench/IsolatedRun.h"
#include "bench/SqliteStore.h"
#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"
#include "tool/search/LocationSearch.h"
#include "tool/text/SearchKey.h"

extern char** environ;

namespace {

using bench::SqliteStore;
namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "bench_search: %s\n", what.c_str());
  std::exit(3);
}

// ---- names ----

// A name as written into the station list, and its key: what a person
// types for it in lower-case ASCII.
struct Name {
  std::string text, key;
};

// Real places, most with letters that ASCII lacks, and how often each is
// drawn relative to the others.
struct Place {
  const char* text;
  const char* key;
  int weight;
};

const Place kPlaces[] = {
    {"Zürich", "zurich", 40},
    {"Zurich", "zurich", 15},
    {"ZÜRICH", "zurich", 5},
    {"Zürich Flughafen", "zurich flughafen", 10},
    {"Flughafen Zürich", "flughafen zurich", 10},
    {"Zürich-Kloten", "zurich-kloten", 10},
    {"Zürichberg", "zurichberg", 10},
    {"São Paulo", "sao paulo", 40},
    {"Sao Paulo", "sao paulo", 15},
    {"São Paulo Mirante", "sao paulo mirante", 10},
    {"São Paulo-Congonhas", "sao paulo-congonhas", 10},
    {"Tromsø", "tromso", 30},
    {"Tromsø Langnes", "tromso langnes", 10},
    {"Tromso", "tromso", 10},
    {"Łódź", "lodz", 30},
    {"Łódź Lublinek", "lodz lublinek", 10},
    {"Lodz", "lodz", 10},
    {"Köln", "koln", 30},
    {"KÖLN", "koln", 5},
    {"Köln/Bonn", "koln/bonn", 10},
    {"Köln-Wahn", "koln-wahn", 10},
    {"Reykjavík", "reykjavik", 30},
    {"Reykjavik", "reykjavik", 10},
    {"Kraków", "krakow", 30},
    {"Kraków Balice", "krakow balice", 10},
    {"Göteborg", "goteborg", 30},
    {"Göteborg Landvetter", "goteborg landvetter", 10},
    {"Helsinki", "helsinki", 30},
    {"Helsinki-Vantaa", "helsinki-vantaa", 10},
    {"Helsingør", "helsingor", 10},
    {"Malmö", "malmo", 10},
    {"Gdańsk", "gdansk", 10},
    {"Poznań", "poznan", 10},
    {"Plzeň", "plzen", 10},
    {"Besançon", "besancon", 10},
    {"Genève", "geneve", 10},
    {"A Coruña", "a coruna", 10},
    {"Düsseldorf", "dusseldorf", 10},
    {"München", "munchen", 10},
    {"Jyväskylä", "jyvaskyla", 10},
    {"Bodø", "bodo", 10},
    {"Ísafjörður", "isafjordur", 10},
    {"Timișoara", "timisoara", 10},
    {"Brașov", "brasov", 10},
    {"İzmir", "izmir", 10},
    {"Eskişehir", "eskisehir", 10},
    {"Đà Nẵng", "da nang", 10},
    {"Hà Nội", "ha noi", 10},
    {"Curaçao", "curacao", 10},
    {"Bogotá", "bogota", 10},
    {"Medellín", "medellin", 10},
    {"Asunción", "asuncion", 10},
    {"Großenhain", "grossenhain", 10},
    {"Москва", "moskva", 40},
    {"Москва 2", "moskva 2", 10},
    {"Омск", "omsk", 15},
    {"Томск", "tomsk", 15},
    {"Самара", "samara", 15},
    {"Минск", "minsk", 15},
    {"Иркутск", "irkutsk", 15},
    {"Αθήνα", "athena", 15},
    {"Πάτρα", "patra", 15},
    {"Λάρισα", "larisa", 15},
    {"北京", "beijing", 30},
    {"北京首都", "beijingshoudou", 10},
    {"上海", "shanghai", 15},
    {"广州", "guangzhou", 15},
    {"成都", "chengdu", 15},
    {"서울", "seoul", 25},
    {"부산", "busan", 15},
    {"인천", "incheon", 15},
    {"대구", "daegu", 15},
};

// Letters of made-up names: the text and its key. A vowel carries an
// accent now and then.
struct Letters {
  const char* text;
  const char* key;
};
// The last two onsets are not ASCII; a name never begins with them, so that
// its first letter can be made a capital.
const Letters kOnsets[] = {{"b", "b"},     {"br", "br"}, {"d", "d"},   {"f", "f"}, {"g", "g"},
                           {"h", "h"},     {"k", "k"},   {"kl", "kl"}, {"l", "l"}, {"m", "m"},
                           {"n", "n"},     {"p", "p"},   {"r", "r"},   {"s", "s"}, {"st", "st"},
                           {"t", "t"},     {"tr", "tr"}, {"v", "v"},   {"w", "w"}, {"z", "z"},
                           {"sch", "sch"}, {"gr", "gr"}, {"ch", "ch"}, {"ł", "l"}, {"ż", "z"}};
const Letters kVowels[] = {{"a", "a"}, {"e", "e"},   {"i", "i"},   {"o", "o"},
                           {"u", "u"}, {"ei", "ei"}, {"au", "au"}, {"ie", "ie"}};
const Letters kAccented[] = {{"ä", "a"}, {"ö", "o"}, {"ü", "u"}, {"é", "e"}, {"è", "e"},
                             {"á", "a"}, {"í", "i"}, {"ó", "o"}, {"å", "a"}, {"ø", "o"},
                             {"ã", "a"}, {"ê", "e"}, {"ı", "i"}, {"ő", "o"}, {"ū", "u"}};
const Letters kCodas[] = {{"", ""},     {"", ""},     {"n", "n"},  {"r", "r"},
                          {"l", "l"},   {"s", "s"},   {"m", "m"},  {"t", "t"},
                          {"nd", "nd"}, {"ck", "ck"}, {"ß", "ss"}, {"ñ", "n"}};
const Letters kEndings[] = {{"berg", "berg"}, {"dorf", "dorf"},     {"vik", "vik"},
                            {"by", "by"},     {"ville", "ville"},   {"holm", "holm"},
                            {"stad", "stad"}, {"ów", "ow"},         {"ice", "ice"},
                            {"ino", "ino"},   {"hausen", "hausen"}, {"fjörður", "fjordur"},
                            {"ås", "as"},     {"gård", "gard"}};
const char* const kWords[] = {"Nord", "Sankt", "Alt", "Neu", "Bad", "Port", "Val", "Ober", "Santa"};

template <class T, std::size_t N>
const T& pick(std::mt19937& rng, const T (&list)[N]) {
  return list[rng() % N];
}

void add(Name& name, const Letters& part) {
  name.text += part.text;
  name.key += part.key;
}

// A made-up name of two or three syllables, sometimes with an ending or a
// leading word, at most `bytes` bytes long. One in four has an accented
// vowel; ß, ñ, ł, ż and some endings put letters beyond ASCII into others.
Name madeUpName(std::mt19937& rng, std::size_t bytes) {
  for (;;) {
    Name name;
    bool accent = rng() % 4 == 0;
    int syllables = 2 + static_cast<int>(rng() % 2);
    std::size_t accentAt = rng() % static_cast<std::size_t>(syllables);
    for (int s = 0; s < syllables; ++s) {
      constexpr std::size_t kOnsetCount = sizeof kOnsets / sizeof kOnsets[0];
      add(name, kOnsets[rng() % (s == 0 ? kOnsetCount - 2 : kOnsetCount)]);
      add(name,
          accent && s == static_cast<int>(accentAt) ? pick(rng, kAccented) : pick(rng, kVowels));
      add(name, pick(rng, kCodas));
    }
    if (rng() % 3 == 0) add(name, pick(rng, kEndings));
    name.text[0] = static_cast<char>(name.text[0] - 'a' + 'A');
    if (rng() % 10 == 0) {
      std::string word = pick(rng, kWords);
      name.text = word + " " + name.text;
      std::string lower = word;
      for (char& c : lower) c = static_cast<char>(c + (c >= 'A' && c <= 'Z' ? 32 : 0));
      name.key = lower + " " + name.key;
    }
    if (name.text.size() <= bytes) return name;
  }
}

// One station of the list.
struct Station {
  Name name;
  int state;  // index into the hierarchy's states
  int level;
  double latitude, longitude;
};

struct Hierarchy {
  struct State {
    std::string name, country, continent;
  };
  std::vector<State> states;
};

// 6 continents, 300 countries (every twentieth a real one, in its own
// letters), 3000 states.
Hierarchy makeHierarchy(std::mt19937& rng) {
  const char* continents[] = {"Africa",        "Asia",    "Europe",
                              "North America", "Oceania", "South America"};
  const char* realCountries[] = {"Österreich", "España",  "Türkiye", "Россия", "中国",
                                 "대한민국",   "Ελλάδα",  "Ísland",  "Česko",  "Polska",
                                 "Norge",      "Sverige", "Schweiz", "Brasil", "Việt Nam"};
  std::vector<std::string> countries;
  while (countries.size() < 300) {
    countries.push_back(countries.size() % 20 == 0 ? realCountries[countries.size() / 20]
                                                   : madeUpName(rng, 30).text);
  }
  Hierarchy h;
  for (int s = 0; s < 3000; ++s) {
    int country = s / 10;
    h.states.push_back({madeUpName(rng, 30).text, countries[static_cast<std::size_t>(country)],
                        continents[country / 50]});
  }
  return h;
}

// n stations; specialShare of them (in thousandths) are real places.
std::vector<Station> makeStations(long n, const Hierarchy& h, int specialShare) {
  std::mt19937 rng(11);
  std::vector<int> weights;
  for (const Place& p : kPlaces) weights.push_back(p.weight);
  std::discrete_distribution<std::size_t> place(weights.begin(), weights.end());
  std::vector<Station> out(static_cast<std::size_t>(n));
  for (Station& s : out) {
    if (static_cast<int>(rng() % 1000) < specialShare) {
      const Place& p = kPlaces[place(rng)];
      s.name = {p.text, p.key};
    } else {
      s.name = madeUpName(rng, 20);
    }
    s.state = static_cast<int>(rng() % h.states.size());
    s.level = static_cast<int>(rng() % 6);
    s.latitude = static_cast<double>(static_cast<long>(rng() % 18001) - 9000) / 100.0;
    s.longitude = static_cast<double>(static_cast<long>(rng() % 36001) - 18000) / 100.0;
  }
  return out;
}

void writeStationList(const std::string& path, const std::vector<Station>& stations,
                      const Hierarchy& h) {
  std::ofstream out(path, std::ios::trunc);
  out << "name,state,country,continent,latitude,longitude,level\n";
  char numbers[64];
  for (const Station& s : stations) {
    const Hierarchy::State& state = h.states[static_cast<std::size_t>(s.state)];
    std::snprintf(numbers, sizeof numbers, "%.2f,%.2f,%d", s.latitude, s.longitude, s.level);
    out << s.name.text << ',' << state.name << ',' << state.country << ',' << state.continent << ','
        << numbers << '\n';
  }
  if (!out) fail("cannot write " + path);
}

// ---- queries ----

struct Query {
  std::string text;
  std::string key;  // what it means, in lower-case ASCII (a typing error set right)
};

const std::vector<Query> kQueries = {
    {"zurich", "zurich"},       {"ZÜRICH", "zurich"}, {"sao paulo", "sao paulo"},
    {"tromso", "tromso"},       {"lodz", "lodz"},     {"koln", "koln"},
    {"reykjavik", "reykjavik"}, {"krakow", "krakow"}, {"goteborg", "goteborg"},
    {"moskva", "moskva"},       {"Москва", "moskva"}, {"beijing", "beijing"},
    {"chengdu", "chengdu"},     {"seoul", "seoul"},   {"helsinky", "helsinki"},
};

bool isWordCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Whether key holds word at the start of one of its words.
bool holdsWord(const std::string& key, const std::string& word) {
  for (std::size_t at = key.find(word); at != std::string::npos; at = key.find(word, at + 1)) {
    if (at == 0 || !isWordCharacter(key[at - 1])) return true;
  }
  return false;
}

// ---- running the tool ----

struct Run {
  double ms = NAN;
  double peakMB = NAN;
};

// Runs argv as a fresh process with its standard output in outPath; fails
// unless it exits with 0.
Run runProcess(const std::vector<std::string>& argv, const std::string& outPath) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  auto begin = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
    fail("cannot run " + argv[0]);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) fail("lost the child");
  auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string line;
    for (const std::string& a : argv) line += a + " ";
    fail("failed: " + line);
  }
  return {std::chrono::duration<double, std::milli>(end - begin).count(),
          static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// The best of repeat runs of each command, after one untimed run of each.
// The runs go round the commands, so that a change in the machine's other
// load falls on all of them alike.
std::vector<Run> bestOf(int repeat, const std::vector<std::vector<std::string>>& commands) {
  std::vector<Run> best(commands.size());
  for (int i = 0; i <= repeat; ++i) {
    for (std::size_t c = 0; c < commands.size(); ++c) {
      Run r = runProcess(commands[c], "/dev/null");
      if (i > 0 && (std::isnan(best[c].ms) || r.ms < best[c].ms)) best[c] = r;
    }
  }
  return best;
}

template <class F>
double bestMs(int repeat, F f) {
  double best = NAN;
  for (int i = 0; i < repeat; ++i) {
    auto begin = std::chrono::steady_clock::now();
    f();
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    if (std::isnan(best) || ms < best) best = ms;
  }
  return best;
}

// The fields of one CSV line (quotes as CsvWriter writes them).
std::vector<std::string> csvFields(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        out.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        out.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

// How many locations of the names in truth (counted per name) metdb's
// find reports as matched by name.
long metdbFound(const std::string& metdb, const std::string& db, const Query& q,
                const std::map<std::string, long>& truth, const std::string& scratch) {
  std::string out = scratch + "/find.csv";
  runProcess({metdb, "--db", db, "find", q.text, "--limit", "0", "--format", "csv"}, out);
  std::ifstream in(out);
  std::string line;
  std::getline(in, line);
  std::map<std::string, long> found;
  while (std::getline(in, line)) {
    std::vector<std::string> f = csvFields(line);
    if (f.size() > 6 && f[1] == "name") ++found[f[6]];
  }
  long count = 0;
  for (const auto& [name, n] : truth) count += std::min(n, found[name]);
  return count;
}

// ---- FTS5 ----

struct Fts {
  const char* label;
  const char* tokenizer;
  double buildMs = NAN;
};

std::string ftsQuery(const Fts& fts, const std::string& text) {
  std::string phrase = "\"";
  for (char c : text) phrase += c == '"' ? std::string("\"\"") : std::string(1, c);
  phrase += "\"";
  // trigram matches the text anywhere; unicode61 needs a prefix query for
  // the last word.
  return std::strcmp(fts.label, "trigram") == 0 ? phrase : phrase + "*";
}

// ---- the folding's set-up ----

// What a fresh process pays before its first search key: making the
// transliterator (with an accented Latin letter, which it handles at
// once), and then the first key of each other script, which loads that
// script's rules. The best of repeat fresh children each; run before this
// process folds anything, since children inherit the folder.
std::vector<std::pair<std::string, double>> foldingSetUp(int repeat) {
  struct Step {
    const char* label;
    const char* text;
  };
  const Step steps[] = {{"transliterator, with \"ü\"", "ü"},
                        {"first Cyrillic letter", "Ж"},
                        {"first Greek letter", "Θ"},
                        {"first Hangul syllable", "서"},
                        {"first Han character", "北"}};
  std::vector<std::pair<std::string, double>> out;
  for (const Step& step : steps) {
    double best = NAN;
    for (int i = 0; i < repeat; ++i) {
      bench::IsolatedRun::Result r = bench::IsolatedRun::run([&](bench::IsolatedRun::Stopwatch& w) {
        if (step.text != steps[0].text) metdb::searchKey("ü");
        w.start();
        metdb::searchKey(step.text);
        w.stop();
      });
      if (std::isnan(best) || r.ms < best) best = r.ms;
    }
    out.push_back({step.label, best});
  }
  return out;
}

// ---- report ----

std::string number(double v) {
  if (std::isnan(v)) return "—";
  char buf[32];
  std::snprintf(buf, sizeof buf, v < 1 ? "%.3f" : v < 10 ? "%.2f" : v < 100 ? "%.1f" : "%.0f", v);
  return buf;
}

std::string ratio(double a, double b) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", a / b);
  return buf;
}

std::string sizeName(long n) {
  int e = 0;
  for (long m = n; m >= 10 && m % 10 == 0; m /= 10) ++e;
  return std::pow(10.0, e) == static_cast<double>(n) ? "10^" + std::to_string(e)
                                                     : std::to_string(n);
}

std::string recall(long found, long truth) {
  return std::to_string(found) + "/" + std::to_string(truth);
}

struct SizeResult {
  long n;
  double createMs;
  std::vector<std::pair<std::string, Run>> commands;  // info first
  std::vector<std::string> queryRows;
  std::string ftsBuild;
  std::vector<std::string> keyDifferences;  // metdb's key against the one written here
};

SizeResult measure(long n, const std::string& metdb, int repeat, const std::string& dir) {
  SizeResult result{n, NAN, {}, {}, "", {}};
  std::mt19937 rng(3);
  Hierarchy h = makeHierarchy(rng);
  std::vector<Station> stations = makeStations(n, h, 30);
  std::set<std::string> checked;
  for (const Station& s : stations) {
    if (!checked.insert(s.name.text).second) continue;
    std::string key = metdb::searchKey(s.name.text);
    if (key != s.name.key)
      result.keyDifferences.push_back(s.name.text + " → " + key + " (" + s.name.key + ")");
  }

  std::string csv = dir + "/stations.csv", db = dir + "/stations.bmt";
  writeStationList(csv, stations, h);
  std::fprintf(stderr, "   create\n");
  result.createMs = runProcess({metdb, "--db", db, "create", csv}, "/dev/null").ms;
  // The new files reach the disk before the timing starts, so that their
  // write-back does not fall on the first commands timed.
  ::sync();

  std::fprintf(stderr, "   commands\n");
  std::vector<std::vector<std::string>> commands = {{"info"}};
  for (const Query& q : kQueries) commands.push_back({"find", q.text});
  for (const char* point : {"47.37 8.54", "-23.55 -46.63", "69.68 18.94"}) {
    std::string latitude = point, longitude = latitude.substr(latitude.find(' ') + 1);
    latitude.resize(latitude.find(' '));
    commands.push_back({"nearest", latitude, longitude});
    commands.push_back({"nearest", latitude, longitude, "--within", "50"});
  }
  std::vector<std::vector<std::string>> argvs;
  for (const auto& c : commands) {
    argvs.push_back({metdb, "--db", db});
    argvs.back().insert(argvs.back().end(), c.begin(), c.end());
  }
  std::vector<Run> best = bestOf(repeat, argvs);
  for (std::size_t c = 0; c < commands.size(); ++c) {
    std::string line;
    for (const std::string& word : commands[c]) line += (line.empty() ? "" : " ") + word;
    result.commands.push_back({line, best[c]});
  }

  std::fprintf(stderr, "   FTS5\n");
  std::vector<Fts> fts = {{"unicode61", "unicode61 remove_diacritics 2"}, {"trigram", "trigram"}};
  SqliteStore store(dir + "/names.db");
  for (Fts& f : fts) {
    store.exec(std::string("CREATE VIRTUAL TABLE ") + f.label + " USING fts5(name, tokenize='" +
               f.tokenizer + "')");
    f.buildMs = bestMs(1, [&] {
      store.exec("BEGIN");
      SqliteStore::Statement insert(
          store.db(), std::string("INSERT INTO ") + f.label + "(rowid, name) VALUES(?1, ?2)");
      for (std::size_t i = 0; i < stations.size(); ++i) {
        sqlite3_bind_int64(insert.get(), 1, static_cast<sqlite3_int64>(i));
        sqlite3_bind_text(insert.get(), 2, stations[i].name.text.c_str(), -1, SQLITE_STATIC);
        insert.step();
        insert.reset();
      }
      store.exec("COMMIT");
      store.exec(std::string("INSERT INTO ") + f.label + "(" + f.label + ") VALUES('optimize')");
    });
    result.ftsBuild += std::string(result.ftsBuild.empty() ? "" : ", ") + f.label + " " +
                       number(f.buildMs) + " ms";
  }

  std::fprintf(stderr, "   queries\n");
  struct Truth {
    std::set<long> rows;
    std::map<std::string, long> names;  // how many locations bear each name
    long metdbFound = 0;
  };
  std::vector<Truth> truths(kQueries.size());
  for (std::size_t k = 0; k < kQueries.size(); ++k) {
    Truth& t = truths[k];
    for (std::size_t i = 0; i < stations.size(); ++i) {
      if (holdsWord(stations[i].name.key, kQueries[k].key)) {
        t.rows.insert(static_cast<long>(i));
        ++t.names[stations[i].name.text];
      }
    }
    t.metdbFound = metdbFound(metdb, db, kQueries[k], t.names, dir);
  }
  // The tool's own search in this process, on the directory it opened
  // (the opening not timed), beside FTS5's query on its prebuilt index.
  BMTFile open(db.c_str(), BMTFile::kReadOnly);
  for (std::size_t k = 0; k < kQueries.size(); ++k) {
    const Query& q = kQueries[k];
    const Truth& t = truths[k];
    long truth = static_cast<long>(t.rows.size());
    std::size_t total = 0;
    double searchMs = bestMs(repeat, [&] {
      total = metdb::searchLocations(open.directory, q.text, metdb::Filters(), 20).total;
    });
    if (total < static_cast<std::size_t>(t.metdbFound)) fail("in-process search of " + q.text);
    std::string row = "| " + q.text + " | " + std::to_string(truth) + " | " +
                      recall(t.metdbFound, truth) + " | " + number(searchMs);
    for (const Fts& f : fts) {
      SqliteStore::Statement select(store.db(), std::string("SELECT rowid FROM ") + f.label +
                                                    " WHERE " + f.label + " MATCH ?1");
      std::string match = ftsQuery(f, q.text);
      std::vector<long> rows;
      double ms = bestMs(repeat, [&] {
        rows.clear();
        sqlite3_bind_text(select.get(), 1, match.c_str(), -1, SQLITE_TRANSIENT);
        while (select.step()) rows.push_back(sqlite3_column_int64(select.get(), 0));
        select.reset();
      });
      long hit = 0;
      for (long r : rows) hit += static_cast<long>(t.rows.count(r));
      row += " | " + recall(hit, truth) + " (" + std::to_string(rows.size()) + ") | " + number(ms);
    }
    result.queryRows.push_back(row + " |");
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes = {100000, 1000000};
  int repeat = 5;
  std::string metdb, keep;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--metdb") == 0 && i + 1 < argc) {
      metdb = fs::absolute(argv[++i]).string();
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
      keep = fs::absolute(argv[++i]).string();
    } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
      sizes.clear();
      for (char* p = argv[++i]; *p != '\0';) {
        sizes.push_back(std::strtol(p, &p, 10));
        if (*p == ',') ++p;
      }
    } else {
      metdb.clear();
      break;
    }
  }
  if (metdb.empty()) {
    std::fprintf(stderr, "usage: %s --metdb PATH [--sizes N,N,...] [--repeat R] [--keep DIR]\n",
                 argv[0]);
    return 1;
  }

  std::vector<std::pair<std::string, double>> setUp = foldingSetUp(repeat);
  bench::ScratchDir scratch;
  std::vector<SizeResult> results;
  for (long n : sizes) {
    std::string dir = (keep.empty() ? scratch.file("") : keep + "/") + std::to_string(n);
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::fprintf(stderr, "== %ld locations\n", n);
    results.push_back(measure(n, metdb, repeat, dir));
    if (keep.empty()) fs::remove_all(dir);
  }

  std::printf("| command |");
  for (const SizeResult& r : results)
    std::printf(" %s ms | × info | peak MB |", sizeName(r.n).c_str());
  std::printf("\n|---|");
  for (std::size_t i = 0; i < results.size(); ++i) std::printf("---:|---:|---:|");
  std::printf("\n");
  for (std::size_t c = 0; c < results[0].commands.size(); ++c) {
    std::printf("| `%s` |", results[0].commands[c].first.c_str());
    for (const SizeResult& r : results) {
      std::printf(" %s | %s | %s |", number(r.commands[c].second.ms).c_str(),
                  ratio(r.commands[c].second.ms, r.commands[0].second.ms).c_str(),
                  number(r.commands[c].second.peakMB).c_str());
    }
    std::printf("\n");
  }
  for (const SizeResult& r : results) {
    std::printf("\n%s locations: create %s ms; FTS5 index build %s\n\n", sizeName(r.n).c_str(),
                number(r.createMs).c_str(), r.ftsBuild.c_str());
    std::printf(
        "| query | names to find | metdb find | metdb search ms | unicode61 (returned) | "
        "unicode61 ms | trigram (returned) | trigram ms |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const std::string& row : r.queryRows) std::printf("%s\n", row.c_str());
    if (!r.keyDifferences.empty()) {
      std::printf("\nNames whose metdb key differs from the key written here:");
      for (const std::string& d : r.keyDifferences) std::printf(" %s;", d.c_str());
      std::printf("\n");
    }
  }
  std::printf("\n| search keys in a fresh process | ms |\n|---|---:|\n");
  for (const auto& [label, ms] : setUp)
    std::printf("| %s | %s |\n", label.c_str(), number(ms).c_str());
  return 0;
}
