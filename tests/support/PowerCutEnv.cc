#include "tests/support/PowerCutEnv.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <stdexcept>

#include "tests/support/TempDir.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

std::string parentOf(const std::string& rel) {
  std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? "." : rel.substr(0, slash);
}

// The unit of a disk's writes: a power cut keeps or loses each whole.
constexpr long kSector = 512;
// The torn versions of the unsynced files that survivorsAt tells, each from
// its own fixed seed.
constexpr unsigned kTornSeeds = 2;

std::int64_t modifiedNsOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

PowerCutEnv::Entry PowerCutEnv::entry(Kind kind) {
  Entry e;
  e.kind = kind;
  return e;
}

PowerCutEnv::PowerCutEnv(const std::string& root)
    : base_(platform::Env::Default()), root_(fs::path(root).lexically_normal().string()) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
  for (const auto& item : fs::recursive_directory_iterator(root_)) {
    if (!item.is_regular_file()) continue;
    std::string rel = item.path().lexically_relative(root_).string();
    names_[rel] = static_cast<long>(initialNames_.size());
    initialNames_.push_back(rel);
    initial_.push_back({readFile(item.path().string()), modifiedNsOf(item.path().string())});
  }
  inodes_ = static_cast<long>(initialNames_.size());
  previous_ = platform::Env::substitute(this);
}

PowerCutEnv::~PowerCutEnv() { detach(); }

void PowerCutEnv::detach() {
  if (attached_) platform::Env::substitute(previous_);
  attached_ = false;
}

bool PowerCutEnv::relative(const std::string& name, std::string* rel) const {
  fs::path p(name.empty() ? "." : name);
  if (p.is_relative()) p = fs::current_path() / p;
  std::string full = p.lexically_normal().string();
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  if (full == root_) {
    *rel = ".";
    return true;
  }
  if (full.compare(0, root_.size() + 1, root_ + "/") != 0) return false;
  *rel = full.substr(root_.size() + 1);
  return true;
}

long PowerCutEnv::inodeOf(const std::string& rel) const {
  auto found = names_.find(rel);
  return found == names_.end() ? -1 : found->second;
}

std::int64_t PowerCutEnv::modifiedOf(int file) {
  platform::FileStatus s;
  return base_->status(file, &s) ? s.stamp.modifiedNs : 0;
}

std::string PowerCutEnv::describe(long step) const {
  static const char* const kNames[] = {"write",  "truncate", "touch",  "sync",
                                       "create", "rename",   "remove", "syncFolder"};
  const Entry& e = journal_.at(static_cast<std::size_t>(step));
  std::string out = kNames[e.kind];
  if (e.inode >= 0) out += " #" + std::to_string(e.inode);
  if (!e.name.empty()) out += " " + e.name;
  if (!e.target.empty()) out += " " + e.target;
  return out;
}

int PowerCutEnv::open(const std::string& name, unsigned flags, unsigned mode) {
  std::string rel;
  bool watched = relative(name, &rel);
  bool existed = false;
  if (watched) {
    platform::FileStatus s;
    existed = base_->statusOf(name, &s, true) && s.kind != platform::FileStatus::kMissing;
  }
  int file = base_->open(name, flags, mode);
  if (file < 0 || !watched) return file;
  platform::FileStatus s;
  if (!base_->status(file, &s) || s.kind != platform::FileStatus::kRegular) return file;
  long inode = inodeOf(rel);
  if (!existed || inode < 0) {
    inode = inodes_++;
    names_[rel] = inode;
    Entry e = entry(kCreated);
    e.inode = inode;
    e.name = rel;
    e.modifiedNs = s.stamp.modifiedNs;
    journal_.push_back(e);
    if (existed && s.stamp.size > 0) {
      // A file made under root by another way than this Env: taken as written.
      std::string bytes(static_cast<std::size_t>(s.stamp.size), '\0');
      long got = base_->read(file, &bytes[0], bytes.size(), 0);
      bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
      Entry w = entry(kWrote);
      w.inode = inode;
      w.bytes = bytes;
      w.modifiedNs = s.stamp.modifiedNs;
      journal_.push_back(w);
    }
  }
  if (flags & Env::kTruncate) {
    Entry e = entry(kTruncated);
    e.inode = inode;
    e.offset = 0;
    e.modifiedNs = s.stamp.modifiedNs;
    journal_.push_back(e);
  }
  open_[file] = inode;
  return file;
}

long PowerCutEnv::read(int file, void* buf, std::size_t n, long offset) {
  return base_->read(file, buf, n, offset);
}

void PowerCutEnv::failAt(long call, Fault fault) {
  faultAt_ = call;
  fault_ = fault;
}

PowerCutEnv::Fault PowerCutEnv::nextCall(const char* kind) {
  calls_.push_back(kind);
  return static_cast<long>(calls_.size()) - 1 == faultAt_ ? fault_ : kNoFault;
}

long PowerCutEnv::write(int file, const void* buf, std::size_t n, long offset) {
  auto found = open_.find(file);
  if (found != open_.end()) {
    Fault fault = nextCall("write");
    if (fault == kEIO || fault == kENOSPC) {
      errno = fault == kEIO ? EIO : ENOSPC;
      return -1;
    }
    if (fault == kShortWrite && n > 1) n /= 2;
  }
  long written = base_->write(file, buf, n, offset);
  if (written > 0 && found != open_.end()) {
    Entry e = entry(kWrote);
    e.inode = found->second;
    e.offset = offset;
    e.bytes.assign(static_cast<const char*>(buf), static_cast<std::size_t>(written));
    e.modifiedNs = modifiedOf(file);
    journal_.push_back(e);
  }
  return written;
}

bool PowerCutEnv::truncate(int file, long length) {
  bool done = base_->truncate(file, length);
  auto found = open_.find(file);
  if (done && found != open_.end()) {
    Entry e = entry(kTruncated);
    e.inode = found->second;
    e.offset = length;
    e.modifiedNs = modifiedOf(file);
    journal_.push_back(e);
  }
  return done;
}

bool PowerCutEnv::sync(int file) {
  auto found = open_.find(file);
  if (found != open_.end()) {
    Fault fault = nextCall("sync");
    if (fault == kEIO || fault == kENOSPC) {
      failedSyncs_.insert(file);
      errno = fault == kEIO ? EIO : ENOSPC;
      return false;
    }
    if (failedSyncs_.count(file) > 0) resynced_ = true;
  }
  bool done = base_->sync(file);
  if (done && found != open_.end()) {
    Entry e = entry(kSynced);
    e.inode = found->second;
    journal_.push_back(e);
  }
  return done;
}

bool PowerCutEnv::status(int file, platform::FileStatus* status) {
  return base_->status(file, status);
}

bool PowerCutEnv::setBlocking(int file) { return base_->setBlocking(file); }

bool PowerCutEnv::setPermissions(int file, unsigned permissions) {
  return base_->setPermissions(file, permissions);
}

bool PowerCutEnv::setModified(int file, std::int64_t modifiedNs) {
  bool done = base_->setModified(file, modifiedNs);
  auto found = open_.find(file);
  if (done && found != open_.end()) {
    Entry e = entry(kTouched);
    e.inode = found->second;
    e.modifiedNs = modifiedOf(file);
    journal_.push_back(e);
  }
  return done;
}

bool PowerCutEnv::lock(int file, int slot, LockKind kind) { return base_->lock(file, slot, kind); }

bool PowerCutEnv::close(int file) {
  open_.erase(file);
  failedSyncs_.erase(file);
  return base_->close(file);
}

int PowerCutEnv::standardInput() { return base_->standardInput(); }

long PowerCutEnv::readNext(int file, void* buf, std::size_t n) {
  return base_->readNext(file, buf, n);
}

bool PowerCutEnv::waitReadable(int file, int milliseconds) {
  return base_->waitReadable(file, milliseconds);
}

bool PowerCutEnv::statusOf(const std::string& name, platform::FileStatus* status,
                           bool followLinks) {
  return base_->statusOf(name, status, followLinks);
}

bool PowerCutEnv::rename(const std::string& from, const std::string& to) {
  bool done = base_->rename(from, to);
  std::string a, b;
  if (done && relative(from, &a) && relative(to, &b)) {
    long inode = inodeOf(a);
    if (inode >= 0) {
      names_.erase(a);
      names_[b] = inode;
      Entry e = entry(kRenamed);
      e.name = a;
      e.target = b;
      journal_.push_back(e);
    }
  }
  return done;
}

bool PowerCutEnv::remove(const std::string& name) {
  bool done = base_->remove(name);
  std::string rel;
  if (done && relative(name, &rel) && names_.erase(rel) > 0) {
    Entry e = entry(kRemoved);
    e.name = rel;
    journal_.push_back(e);
  }
  return done;
}

bool PowerCutEnv::setPermissionsOf(const std::string& name, unsigned permissions) {
  return base_->setPermissionsOf(name, permissions);
}

bool PowerCutEnv::makeFolder(const std::string& name, unsigned mode) {
  return base_->makeFolder(name, mode);
}

bool PowerCutEnv::removeFolder(const std::string& name) { return base_->removeFolder(name); }

bool PowerCutEnv::listFolder(const std::string& folder, std::vector<std::string>* names) {
  return base_->listFolder(folder, names);
}

bool PowerCutEnv::syncFolder(const std::string& folder) {
  std::string rel;
  bool watched = relative(folder, &rel);
  if (watched) {
    Fault fault = nextCall("syncFolder");
    if (fault == kEIO || fault == kENOSPC) {
      errno = fault == kEIO ? EIO : ENOSPC;
      return false;
    }
  }
  bool done = base_->syncFolder(folder);
  if (done && watched) {
    Entry e = entry(kFolderSynced);
    e.name = rel;
    journal_.push_back(e);
  }
  return done;
}

std::uint64_t PowerCutEnv::random() { return base_->random(); }

std::int64_t PowerCutEnv::nowNs() { return base_->nowNs(); }

double PowerCutEnv::monotonicSeconds() { return base_->monotonicSeconds(); }

void PowerCutEnv::sleepMilliseconds(int milliseconds) { base_->sleepMilliseconds(milliseconds); }

std::string PowerCutEnv::variable(const std::string& name) {
  // Scratch folders are made under root, where the cut reaches them too.
  if (name == "TMPDIR") return root_ + "/tmp";
  return base_->variable(name);
}

std::string PowerCutEnv::programFile() { return base_->programFile(); }

std::vector<DiskImage> PowerCutEnv::survivorsAt(long step) const {
  struct Inode {
    DiskFile now, durable;
    bool dirty = false;
    std::set<long> sectors;  // written since the last sync
  };
  std::vector<Inode> inodes(static_cast<std::size_t>(inodes_));
  std::map<std::string, long> now, durable;
  for (std::size_t i = 0; i < initial_.size(); ++i) {
    inodes[i].now = inodes[i].durable = initial_[i];
    now[initialNames_[i]] = durable[initialNames_[i]] = static_cast<long>(i);
  }
  std::vector<const Entry*> pending;  // changes of names not yet synced, in order
  auto apply = [](std::map<std::string, long>& names, const Entry& e) {
    if (e.kind == kCreated) {
      names[e.name] = e.inode;
    } else if (e.kind == kRenamed) {
      auto from = names.find(e.name);
      if (from == names.end()) return;  // its creation did not survive
      long inode = from->second;
      names.erase(from);
      names[e.target] = inode;
    } else if (e.kind == kRemoved) {
      names.erase(e.name);
    }
  };
  for (long s = 0; s < step && s < steps(); ++s) {
    const Entry& e = journal_[static_cast<std::size_t>(s)];
    Inode* f = e.inode >= 0 ? &inodes[static_cast<std::size_t>(e.inode)] : nullptr;
    switch (e.kind) {
      case kWrote: {
        std::string& b = f->now.bytes;
        std::size_t end = static_cast<std::size_t>(e.offset) + e.bytes.size();
        if (b.size() < end) b.resize(end, '\0');
        std::memcpy(&b[static_cast<std::size_t>(e.offset)], e.bytes.data(), e.bytes.size());
        f->now.modifiedNs = e.modifiedNs;
        f->dirty = true;
        for (long s = e.offset / kSector; s * kSector < static_cast<long>(end); ++s) {
          f->sectors.insert(s);
        }
        break;
      }
      case kTruncated:
        f->now.bytes.resize(static_cast<std::size_t>(e.offset), '\0');
        f->now.modifiedNs = e.modifiedNs;
        f->dirty = true;
        break;
      case kTouched:
        f->now.modifiedNs = e.modifiedNs;
        f->dirty = true;
        break;
      case kSynced:
        f->durable = f->now;
        f->dirty = false;
        f->sectors.clear();
        break;
      case kCreated:
        f->now = f->durable = DiskFile{"", e.modifiedNs};
        f->dirty = false;
        f->sectors.clear();
        apply(now, e);
        pending.push_back(&e);
        break;
      case kRenamed:
      case kRemoved:
        apply(now, e);
        pending.push_back(&e);
        break;
      case kFolderSynced: {
        std::vector<const Entry*> rest;
        for (const Entry* p : pending) {
          bool here =
              parentOf(p->name) == e.name || (p->kind == kRenamed && parentOf(p->target) == e.name);
          if (here) {
            apply(durable, *p);
          } else {
            rest.push_back(p);
          }
        }
        pending.swap(rest);
        break;
      }
    }
  }

  // The names: the unsynced changes kept up to any point, or all but one.
  std::vector<std::vector<bool>> keeps;
  for (std::size_t upTo = 0; upTo <= pending.size(); ++upTo) {
    std::vector<bool> keep(pending.size(), false);
    std::fill(keep.begin(), keep.begin() + static_cast<long>(upTo), true);
    keeps.push_back(keep);
  }
  for (std::size_t skip = 0; skip + 1 < pending.size(); ++skip) {
    std::vector<bool> keep(pending.size(), true);
    keep[skip] = false;
    keeps.push_back(keep);
  }
  // The contents: each unsynced file kept or lost on its own while there
  // are few, else all kept or all lost; and each torn, with the others kept.
  std::vector<long> dirty;
  for (std::size_t i = 0; i < inodes.size(); ++i) {
    if (inodes[i].dirty) dirty.push_back(static_cast<long>(i));
  }
  std::vector<unsigned> masks;
  if (dirty.size() <= 3) {
    for (unsigned m = 0; m < (1u << dirty.size()); ++m) masks.push_back(m);
  } else {
    masks = {0u, ~0u};
  }
  // torn[i][seed]: dirty[i] as it may be found after the cut, its size and
  // time as written but each of its unsynced sectors new or old by chance.
  std::vector<std::vector<DiskFile>> torn(dirty.size());
  for (std::size_t i = 0; i < dirty.size(); ++i) {
    const Inode& f = inodes[static_cast<std::size_t>(dirty[i])];
    for (unsigned seed = 1; seed <= kTornSeeds; ++seed) {
      std::mt19937 bits(seed * 7919u + static_cast<unsigned>(dirty[i]) * 31u +
                        static_cast<unsigned>(step));
      DiskFile file = f.now;
      for (long s : f.sectors) {
        std::size_t at = static_cast<std::size_t>(s * kSector);
        if (at >= file.bytes.size() || (bits() & 1u) != 0) continue;
        std::size_t n = std::min<std::size_t>(kSector, file.bytes.size() - at);
        for (std::size_t k = 0; k < n; ++k) {
          file.bytes[at + k] = at + k < f.durable.bytes.size() ? f.durable.bytes[at + k] : '\0';
        }
      }
      torn[i].push_back(std::move(file));
    }
  }

  std::vector<DiskImage> out;
  for (const std::vector<bool>& keep : keeps) {
    std::map<std::string, long> names = durable;
    for (std::size_t i = 0; i < pending.size(); ++i) {
      if (keep[i]) apply(names, *pending[i]);
    }
    auto add = [&](DiskImage image) {
      if (std::find(out.begin(), out.end(), image) == out.end()) out.push_back(std::move(image));
    };
    for (unsigned mask : masks) {
      DiskImage image;
      for (const auto& [name, inode] : names) {
        const Inode& f = inodes[static_cast<std::size_t>(inode)];
        auto at = std::find(dirty.begin(), dirty.end(), inode);
        bool kept = at != dirty.end() && ((mask >> (at - dirty.begin())) & 1u);
        image[name] = kept ? f.now : f.durable;
      }
      add(std::move(image));
    }
    for (std::size_t i = 0; i < dirty.size(); ++i) {
      for (const DiskFile& file : torn[i]) {
        DiskImage image;
        bool named = false;
        for (const auto& [name, inode] : names) {
          const Inode& f = inodes[static_cast<std::size_t>(inode)];
          named = named || inode == dirty[i];
          image[name] = inode == dirty[i] ? file : f.dirty ? f.now : f.durable;
        }
        if (named) add(std::move(image));
      }
    }
  }
  return out;
}

void materialise(const DiskImage& image, const std::string& folder) {
  for (const auto& [name, file] : image) {
    fs::path path = fs::path(folder) / name;
    fs::create_directories(path.parent_path());
    writeFile(path.string(), file.bytes);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(file.modifiedNs / 1000000000);
    times[1].tv_nsec = static_cast<long>(file.modifiedNs % 1000000000);
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
      throw std::runtime_error("cannot set the time of " + path.string());
    }
  }
}

DiskImage imageOf(const std::string& folder) {
  DiskImage image;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    image[item.path().lexically_relative(folder).string()] = {readFile(item.path().string()),
                                                              modifiedNsOf(item.path().string())};
  }
  return image;
}

}  // namespace testsupport
