#include "tests/support/RecordingEnv.h"

#include <errno.h>

namespace testsupport {

RecordingEnv::RecordingEnv()
    : base_(platform::Env::Default()), previous_(platform::Env::substitute(this)) {}

RecordingEnv::~RecordingEnv() { platform::Env::substitute(previous_); }

std::vector<std::string> RecordingEnv::entries(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& entry : journal_) {
    if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
  }
  return found;
}

std::string RecordingEnv::nameOf(int file) const {
  auto found = names_.find(file);
  return found == names_.end() ? "?" : found->second;
}

int RecordingEnv::open(const std::string& name, unsigned flags, unsigned mode) {
  int file = base_->open(name, flags, mode);
  if (file >= 0) names_[file] = name;
  return file;
}

long RecordingEnv::read(int file, void* buf, std::size_t n, long offset) {
  return base_->read(file, buf, n, offset);
}

long RecordingEnv::write(int file, const void* buf, std::size_t n, long offset) {
  // One entry per run of writes to the same file.
  std::string entry = "write " + nameOf(file);
  if (journal_.empty() || journal_.back() != entry) journal_.push_back(entry);
  return base_->write(file, buf, n, offset);
}

bool RecordingEnv::truncate(int file, long length) {
  journal_.push_back("truncate " + nameOf(file));
  return base_->truncate(file, length);
}

bool RecordingEnv::sync(int file) {
  std::string name = nameOf(file);
  journal_.push_back("sync " + name);
  if (!failSync_.empty() && name.find(failSync_) != std::string::npos) {
    errno = EIO;
    return false;
  }
  return base_->sync(file);
}

bool RecordingEnv::status(int file, platform::FileStatus* status) {
  ++checks_;
  return base_->status(file, status);
}

int RecordingEnv::standardInput() { return base_->standardInput(); }

long RecordingEnv::readNext(int file, void* buf, std::size_t n) {
  return base_->readNext(file, buf, n);
}

bool RecordingEnv::waitReadable(int file, int milliseconds) {
  return base_->waitReadable(file, milliseconds);
}

bool RecordingEnv::setBlocking(int file) { return base_->setBlocking(file); }

bool RecordingEnv::setPermissions(int file, unsigned permissions) {
  return base_->setPermissions(file, permissions);
}

bool RecordingEnv::setModified(int file, std::int64_t modifiedNs) {
  ++checks_;
  return base_->setModified(file, modifiedNs);
}

bool RecordingEnv::lock(int file, int slot, LockKind kind) {
  ++checks_;
  return base_->lock(file, slot, kind);
}

bool RecordingEnv::close(int file) {
  names_.erase(file);
  return base_->close(file);
}

bool RecordingEnv::statusOf(const std::string& name, platform::FileStatus* status,
                            bool followLinks) {
  ++checks_;
  return base_->statusOf(name, status, followLinks);
}

bool RecordingEnv::rename(const std::string& from, const std::string& to) {
  journal_.push_back("rename " + from + " " + to);
  return base_->rename(from, to);
}

bool RecordingEnv::remove(const std::string& name) {
  journal_.push_back("remove " + name);
  return base_->remove(name);
}

bool RecordingEnv::setPermissionsOf(const std::string& name, unsigned permissions) {
  return base_->setPermissionsOf(name, permissions);
}

bool RecordingEnv::makeFolder(const std::string& name, unsigned mode) {
  return base_->makeFolder(name, mode);
}

bool RecordingEnv::removeFolder(const std::string& name) { return base_->removeFolder(name); }

bool RecordingEnv::listFolder(const std::string& folder, std::vector<std::string>* names) {
  return base_->listFolder(folder, names);
}

bool RecordingEnv::syncFolder(const std::string& folder) {
  journal_.push_back("syncFolder " + folder);
  return base_->syncFolder(folder);
}

std::uint64_t RecordingEnv::random() { return base_->random(); }

std::int64_t RecordingEnv::nowNs() { return base_->nowNs(); }

double RecordingEnv::monotonicSeconds() { return base_->monotonicSeconds(); }

void RecordingEnv::sleepMilliseconds(int milliseconds) { base_->sleepMilliseconds(milliseconds); }

std::string RecordingEnv::variable(const std::string& name) { return base_->variable(name); }

std::string RecordingEnv::programFile() { return base_->programFile(); }

}  // namespace testsupport
