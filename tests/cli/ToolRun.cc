#include "tests/cli/ToolRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <set>
#include <sstream>

#include "cli/Tool.h"
#include "datafile/BMTFile.h"
#include "tool/text/Text.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace tooltest {

using testsupport::listFolder;
using testsupport::readFile;
using testsupport::TempDir;

const char kSample[] =
    "name,state,country,continent,level,latitude,longitude,auxValue,seriesA1\n"
    "Oslo,Oslo,Norway,Europe,1,59.9139,10.7522,3,-4.3\n"
    "Bergen,Vestland,Norway,Europe,2,60.3913,5.3221,0,1.5\n"
    "Voss,Vestland,Norway,Europe,3,60.628,6.418,0,0\n"
    "Lund,Skane,Sweden,Europe,2,55.7047,13.191,0,0\n"
    "Helsinki,Uusimaa,Finland,Europe,1,60.1699,24.9384,0,0\n"
    "Nairobi,Nairobi,Kenya,Africa,1,-1.2864,36.8172,0,0\n"
    "Cairo,Cairo,Egypt,Africa,1,30.0444,31.2357,0,0\n"
    "Lima,Lima,Peru,South America,1,-12.0464,-77.0428,0,0\n"
    "Quito,Pichincha,Ecuador,South America,2,-0.1807,-78.4678,0,0\n";

Outcome run(const TempDir& dir, const std::vector<std::string>& args, const RunOptions& options) {
  std::string outPath = dir.file(".out");
  std::string errPath = dir.file(".err");
  std::string tmp = dir.file("tmp");
  mkdir(tmp.c_str(), 0700);
  int pipeEnds[2] = {-1, -1};
  bool outPipe = options.readerGone || options.signalAfterOutput != 0;
  if (outPipe && pipe(pipeEnds) != 0) return Outcome{};
  if (options.readerGone) close(pipeEnds[0]);
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(in, 0);
    if (options.signalAfterOutput != 0) close(pipeEnds[0]);
    dup2(outPipe ? pipeEnds[1] : out, 1);
    dup2(err, 2);
    setenv("TMPDIR", tmp.c_str(), 1);
    for (const std::string& variable : options.environment) {
      std::size_t equals = variable.find('=');
      setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
    if (options.fileSizeLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit;
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(options.fileSizeLimit);
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(METDB_TOOL));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(METDB_TOOL, argv.data());
    _exit(127);
  }
  if (outPipe) close(pipeEnds[1]);
  std::string piped;
  if (options.signalAfterOutput != 0) {
    char buffer[4096];
    ssize_t n;
    bool signalled = false;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) != 0) {
      if (n < 0) {
        if (errno == EINTR) continue;
        break;
      }
      piped.append(buffer, static_cast<std::size_t>(n));
      if (!signalled && pid > 0) kill(pid, options.signalAfterOutput);
      signalled = true;
    }
    close(pipeEnds[0]);
  }
  Outcome o;
  int wstatus = 0;
  if (pid > 0 && waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
    o.status = WEXITSTATUS(wstatus);
  }
  o.out = options.signalAfterOutput != 0 ? piped : readFile(outPath);
  o.err = readFile(errPath);
  return o;
}

Outcome runInProcess(const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"metdb"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  Outcome o;
  o.status = runTool(static_cast<int>(argv.size()), argv.data(), out, err);
  o.out = out.str();
  o.err = err.str();
  return o;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> userFiles(const TempDir& dir) {
  std::vector<std::string> out;
  for (const std::string& name : listFolder(dir.path())) {
    bool lockFile = name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0;
    if (name != ".out" && name != ".err" && name != "tmp" && !lockFile) out.push_back(name);
  }
  return out;
}

std::vector<std::string> tmpFiles(const TempDir& dir) { return listFolder(dir.file("tmp")); }

std::int16_t auxValue(const LocationData& record) {
  std::int16_t value;
  std::memcpy(&value, reinterpret_cast<const char*>(&record) + offsetof(LocationData, auxValue),
              sizeof value);
  return value;
}

std::vector<LocationData> readRecords(const std::string& dataFile) {
  std::string bytes = readFile(dataFile);
  std::vector<LocationData> records(bytes.size() / sizeof(LocationData));
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::memcpy(static_cast<void*>(&records[i]), bytes.data() + i * sizeof(LocationData),
                sizeof(LocationData));
  }
  return records;
}

void expectGroupedDatabase(const std::string& dataFile) {
  std::vector<LocationData> records = readRecords(dataFile);
  std::set<std::string> finished;
  std::string group[3];
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::string key[3];
    key[0] = "c" + fieldText(records[i].continent);
    key[1] = key[0] + "|" + fieldText(records[i].country);
    key[2] = key[1] + "|" + fieldText(records[i].state);
    for (int level = 0; level < 3; ++level) {
      for (char& ch : key[level]) ch = static_cast<char>(std::tolower(ch));
      if (i > 0 && key[level] != group[level]) {
        finished.insert(group[level]);
        EXPECT_EQ(finished.count(key[level]), 0u)
            << dataFile << ": record " << i << " stands apart from its group " << key[level];
      }
    }
    for (int level = 0; level < 3; ++level) group[level] = key[level];
  }

  BMTFile db(dataFile.c_str());
  ASSERT_TRUE(db.IsValid());
  Directory* d = db.directory;
  EXPECT_EQ(d->locationCount, static_cast<long>(records.size()));
  TISArrayAsVector<Continent>* continents = d->getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    if (i > 0) {
      EXPECT_FALSE(text::equalIgnoringCase(*(*continents)[i - 1], *(*continents)[i]));
    }
    TISArrayAsVector<Country>* countries = (*continents)[i]->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      if (j > 0) {
        EXPECT_FALSE(text::equalIgnoringCase(*(*countries)[j - 1], *(*countries)[j]));
      }
      TISArrayAsVector<State>* states = (*countries)[j]->getStates();
      for (unsigned s = 1; s < states->count(); ++s) {
        EXPECT_FALSE(text::equalIgnoringCase(*(*states)[s - 1], *(*states)[s]));
      }
    }
  }
  // The walk meets the records in file order.
  if (d->IsEmpty()) return;
  long expected = 0;
  d->first();
  do {
    EXPECT_EQ(d->getLocationIndex(), expected++);
  } while (d->next());
  EXPECT_EQ(expected, static_cast<long>(records.size()));
}

std::string stationList(const std::vector<std::string>& rows) {
  std::string out = "name,state,country,continent,level,latitude,longitude\n";
  for (const std::string& row : rows) out += row + "\n";
  return out;
}

}  // namespace tooltest
