#include "datafile/StationFile.h"

#include <charconv>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "datafile/BMTFile.h"
#include "datafile/DatabaseState.h"
#include "datafile/MetDatabase.h"
#include "datafile/StationFileWrite.h"
#include "datafile/WriteAccess.h"
#include "platform/DurableReplacement.h"
#include "platform/Failure.h"
#include "platform/File.h"
#include "platform/FileOps.h"

namespace {

const char kVersionLine[] = "metdb stations 1";

std::uint64_t fnv(std::uint64_t h, const void* data, std::size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

std::uint64_t fnvFolded(std::uint64_t h, const char* field, std::size_t size) {
  for (std::size_t i = 0; i < size && field[i] != '\0'; ++i) {
    char c = field[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    h = fnv(h, &c, 1);
  }
  // A separator, so that "ab"+"c" and "a"+"bc" differ.
  char zero = '\0';
  return fnv(h, &zero, 1);
}

// A field written on one line of the file: tabs and line breaks would
// split it, so they become blanks.
std::string oneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return out;
}

// The fields of one line, split at tabs.
std::vector<std::string> splitTabs(const char* begin, const char* end) {
  std::vector<std::string> fields;
  const char* start = begin;
  for (const char* p = begin;; ++p) {
    if (p == end || *p == '\t') {
      fields.emplace_back(start, p);
      if (p == end) break;
      start = p + 1;
    }
  }
  return fields;
}

bool parseLine(const char* begin, const char* end, StationFile::Entry* entry, std::string* why) {
  if (end > begin && end[-1] == '\r') --end;
  std::vector<std::string> f = splitTabs(begin, end);
  if (f.size() != 8) {
    *why = "it has " + std::to_string(f.size()) + " fields instead of 8";
    return false;
  }
  const std::string& idx = f[0];
  auto r = std::from_chars(idx.data(), idx.data() + idx.size(), entry->index);
  if (r.ec != std::errc() || r.ptr != idx.data() + idx.size() || entry->index < 0) {
    *why = "\"" + idx + "\" is no record index";
    return false;
  }
  const std::string& fp = f[1];
  r = std::from_chars(fp.data(), fp.data() + fp.size(), entry->fingerprint, 16);
  if (fp.size() != 16 || r.ec != std::errc() || r.ptr != fp.data() + fp.size()) {
    *why = "\"" + fp + "\" is no fingerprint";
    return false;
  }
  StationInfo& info = entry->info;
  std::size_t at = 0;
  const std::string& ids = f[2];
  while (at < ids.size()) {
    std::size_t next = ids.find(' ', at);
    if (next == std::string::npos) next = ids.size();
    std::string id = ids.substr(at, next - at);
    if (!id.empty()) {
      if (!StationFile::IsWellFormedId(id)) {
        *why = "\"" + id + "\" is no identifier";
        return false;
      }
      info.addId(id);
    }
    at = next + 1;
  }
  if (!f[3].empty()) {
    double value = 0;
    auto e = std::from_chars(f[3].data(), f[3].data() + f[3].size(), value);
    if (e.ec != std::errc() || e.ptr != f[3].data() + f[3].size()) {
      *why = "\"" + f[3] + "\" is no elevation";
      return false;
    }
    info.elevation = value;
  }
  info.timeZone = f[4];
  info.activeFrom = f[5];
  info.activeTo = f[6];
  info.source = f[7];
  return true;
}

}  // namespace

bool writeStationFileBeside(platform::DurableReplacement* replacement, const std::string& text,
                            const std::string& model, long long atLeastNs) {
  if (!replacement->begin()) return false;
  const std::string& target = replacement->target();
  if (!replacement->append(text.data(), text.size())) {
    replacement->abandon();
    return false;
  }
  // The bits of model (the data file's when there is no station file yet)
  // and a time no earlier than the data file's; neither is worth a failure.
  if (!model.empty() && model != target) {
    platform::copyPermissions(model.c_str(), replacement->temporaryName().c_str());
  }
  platform::setModifiedAtLeast(replacement->temporaryName(), atLeastNs);
  return true;
}

std::string StationFile::nameFor(const std::string& dataFileName) {
  std::size_t slash = dataFileName.rfind('/');
  std::size_t dot = dataFileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return dataFileName + ".stn";
  }
  return dataFileName.substr(0, dot) + ".stn";
}

std::uint64_t StationFile::fingerprint(const LocationData& r) {
  std::uint64_t h = 14695981039346656037ull;
  h = fnvFolded(h, r.continent, sizeof r.continent);
  h = fnvFolded(h, r.country, sizeof r.country);
  h = fnvFolded(h, r.state, sizeof r.state);
  h = fnvFolded(h, r.name, sizeof r.name);
  float lat = r.latitude, lon = r.longitude;
  h = fnv(h, &lat, sizeof lat);
  return fnv(h, &lon, sizeof lon);
}

bool StationFile::IsWellFormedId(const std::string& id) {
  std::size_t colon = id.find(':');
  if (colon == 0 || colon == std::string::npos || colon + 1 == id.size()) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    char c = id[i];
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
  }
  for (std::size_t i = colon + 1; i < id.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(id[i]);
    if (c <= ' ' || c == 0x7f) return false;
  }
  return true;
}

StationFile::StationFile(BMTFile& db) : db_(&db) {
  path_ = nameFor(stateOf(&db).dataPath.empty() ? db.fileName : stateOf(&db).dataPath);
  platform::File file;
  if (!file.open(path_, platform::File::kReadOnlyNoLink)) return;  // a link is no station file
  exists_ = true;
  long length = file.length();
  if (length <= 0) return;
  text_.resize(static_cast<std::size_t>(length));
  long got = file.readAt(0, &text_[0], text_.size());
  text_.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
}

StationFile::~StationFile() = default;

void StationFile::parse() {
  if (parsed_) return;
  parsed_ = true;
  // Entries that find() read one at a time go; the whole file is read now.
  entries_.clear();
  const char* p = text_.data();
  const char* end = p + text_.size();
  long line = 0;
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (eol == nullptr) eol = end;
    ++line;
    if (line == 1) {
      std::string first(p, eol);
      if (!first.empty() && first.back() == '\r') first.pop_back();
      if (first != kVersionLine) {
        faults_.push_back("line 1: \"" + first + "\" is not \"" + kVersionLine +
                          "\"; the file is of another version or no station file");
        entries_.clear();
        return;
      }
    } else if (eol > p) {
      Entry entry;
      std::string why;
      if (!parseLine(p, eol, &entry, &why)) {
        faults_.push_back("line " + std::to_string(line) + ": " + why);
      } else if (entries_.count(entry.index) != 0) {
        faults_.push_back("line " + std::to_string(line) + ": record " +
                          std::to_string(entry.index) + " has an entry already");
      } else {
        entries_.emplace(entry.index, std::move(entry));
      }
    }
    p = eol + 1;
  }
}

const std::map<long, StationFile::Entry>& StationFile::entries() {
  parse();
  return entries_;
}

bool StationFile::recordMatches(long index, std::uint64_t print) {
  LocationData record;
  std::memset(static_cast<void*>(&record), 0, sizeof record);
  long length = db_->fileLength();
  if (index < 0 || length < 0 || index >= length / kLocationDataSize) return false;
  db_->getLocationData(index, record);
  return fingerprint(record) == print;
}

StationFile::MatchReport StationFile::match() {
  parse();
  MatchReport report;
  if (matched_ || entries_.empty()) {
    matched_ = true;
    report.kept = static_cast<long>(entries_.size());
    return report;
  }
  matched_ = true;
  long count = db_->fileLength() < 0 ? 0 : db_->fileLength() / kLocationDataSize;
  std::vector<std::uint64_t> prints(static_cast<std::size_t>(count));
  {
    BMTFile::BulkRead reading(*db_);
    for (long i = 0; i < count; ++i) {
      LocationData record;
      std::memset(static_cast<void*>(&record), 0, sizeof record);
      db_->getLocationData(i, record);
      prints[static_cast<std::size_t>(i)] = fingerprint(record);
    }
  }
  std::vector<Entry> astray;
  for (auto it = entries_.begin(); it != entries_.end();) {
    long i = it->first;
    if (i < count && prints[static_cast<std::size_t>(i)] == it->second.fingerprint) {
      ++report.kept;
      ++it;
    } else {
      astray.push_back(std::move(it->second));
      it = entries_.erase(it);
    }
  }
  if (astray.empty()) return report;
  // Records by fingerprint, for the astray entries only; -2 marks a
  // fingerprint that several records share, which tells no record.
  std::unordered_map<std::uint64_t, long> wanted;
  for (const Entry& e : astray) wanted.emplace(e.fingerprint, -1);
  for (long i = 0; i < count; ++i) {
    auto w = wanted.find(prints[static_cast<std::size_t>(i)]);
    if (w == wanted.end()) continue;
    w->second = w->second == -1 ? i : -2;
  }
  for (Entry& e : astray) {
    long to = wanted[e.fingerprint];
    if (to >= 0 && entries_.count(to) == 0) {
      e.index = to;
      entries_.emplace(to, std::move(e));
      ++report.moved;
    } else {
      ++report.dropped;
    }
  }
  return report;
}

const StationInfo* StationFile::find(long index) {
  if (!parsed_) {
    // The line of that index alone, so that one look-up does not parse the
    // whole file: lines start with their index.
    std::string key = "\n" + std::to_string(index) + "\t";
    std::size_t at = text_.find(key);
    if (at == std::string::npos) return nullptr;
    std::size_t end = text_.find('\n', at + 1);
    if (end == std::string::npos) end = text_.size();
    Entry entry;
    std::string why;
    if (!parseLine(text_.data() + at + 1, text_.data() + end, &entry, &why)) return nullptr;
    if (!recordMatches(index, entry.fingerprint)) return nullptr;
    Entry& kept = entries_[index];
    kept = std::move(entry);
    return &kept.info;
  }
  auto it = entries_.find(index);
  if (it == entries_.end()) return nullptr;
  if (!matched_ && !recordMatches(index, it->second.fingerprint)) return nullptr;
  return &it->second.info;
}

std::vector<long> StationFile::lookup(const std::string& id) {
  std::vector<long> found;
  std::size_t colon = id.find(':');
  if (colon == std::string::npos) return found;
  std::string scheme = id.substr(0, colon);
  for (char& c : scheme) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::string wanted = scheme + id.substr(colon);
  auto holds = [&wanted](const StationInfo& info) {
    return std::find(info.ids.begin(), info.ids.end(), wanted) != info.ids.end();
  };
  if (!parsed_) {
    // Only the lines holding the identifier's text are parsed.
    std::size_t at = 0;
    bool astray = false;
    while ((at = text_.find(wanted, at)) != std::string::npos) {
      std::size_t begin = text_.rfind('\n', at);
      begin = begin == std::string::npos ? 0 : begin + 1;
      std::size_t end = text_.find('\n', at);
      if (end == std::string::npos) end = text_.size();
      Entry entry;
      std::string why;
      if (begin != 0 && parseLine(text_.data() + begin, text_.data() + end, &entry, &why) &&
          holds(entry.info)) {
        if (recordMatches(entry.index, entry.fingerprint)) {
          found.push_back(entry.index);
        } else {
          astray = true;
        }
      }
      at = end;
    }
    if (!astray) return found;
    found.clear();
  }
  match();
  for (const auto& e : entries_) {
    if (holds(e.second.info)) found.push_back(e.first);
  }
  return found;
}

void StationFile::set(long index, const StationInfo& info) {
  parse();
  if (info.empty()) {
    entries_.erase(index);
    return;
  }
  Entry& e = entries_[index];
  e.index = index;
  e.info = info;
}

std::string StationFile::render(const std::map<long, Entry>& entries) {
  std::string out = kVersionLine;
  out += '\n';
  char number[64];
  for (const auto& item : entries) {
    const Entry& e = item.second;
    out += std::to_string(e.index);
    out += '\t';
    auto r = std::to_chars(number, number + sizeof number, e.fingerprint, 16);
    std::string hex(number, r.ptr);
    out.append(16 - hex.size(), '0');
    out += hex;
    out += '\t';
    for (std::size_t i = 0; i < e.info.ids.size(); ++i) {
      if (i > 0) out += ' ';
      out += e.info.ids[i];
    }
    out += '\t';
    if (e.info.hasElevation()) {
      r = std::to_chars(number, number + sizeof number, e.info.elevation);
      out.append(number, r.ptr);
    }
    for (const std::string* s :
         {&e.info.timeZone, &e.info.activeFrom, &e.info.activeTo, &e.info.source}) {
      out += '\t';
      out += oneLine(*s);
    }
    out += '\n';
  }
  return out;
}

bool StationFile::save() {
  platform::clearFailure();
  parse();
  LockHold hold(databaseLock(*db_), SharedLock::kExclusive, SharedLock::waitSeconds());
  if (!checkWritable(*db_, hold)) return false;
  long count = db_->fileLength() < 0 ? 0 : db_->fileLength() / kLocationDataSize;
  std::map<long, Entry> kept;
  for (auto& item : entries_) {
    if (item.first >= count) continue;
    LocationData record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    db_->getLocationData(item.first, record);
    item.second.fingerprint = fingerprint(record);
    kept.emplace(item.first, item.second);
  }
  entries_ = std::move(kept);
  matched_ = true;
  std::string model = exists_ ? path_ : stateOf(db_).dataPath;
  platform::DurableReplacement replacement(path_);
  if (!writeStationFileBeside(&replacement, render(entries_), model,
                              db_->stream.stamp().modifiedNs) ||
      !replacement.commit()) {
    if (!replacement.committed()) {
      if (!platform::hasFailure()) platform::noteFailure("cannot write \"" + path_ + "\"");
      return false;
    }
  }
  exists_ = true;
  return true;
}
