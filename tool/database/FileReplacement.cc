#include "tool/database/FileReplacement.h"

#include <streambuf>
#include <vector>

#include "module/CurrentDatabase.h"
#include "tool/Error.h"

namespace metdb {

// Gathers the stream's bytes and appends them to the replacement in blocks;
// a failed append fails the stream.
class FileReplacement::Buffer : public std::streambuf {
 public:
  explicit Buffer(platform::DurableReplacement* file) : file_(file), data_(64 * 1024) {
    setp(data_.data(), data_.data() + data_.size());
  }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    setp(data_.data(), data_.data() + data_.size());
    return n == 0 || file_->append(data_.data(), n) ? 0 : -1;
  }

 private:
  platform::DurableReplacement* file_;
  std::vector<char> data_;
};

FileReplacement::FileReplacement(const std::string& target)
    : target_(target), replacement_(target) {
  if (!replacement_.begin()) fail(getMetLastError());
  buffer_ = std::make_unique<Buffer>(&replacement_);
  out_ = std::make_unique<std::ostream>(buffer_.get());
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::commit() {
  out_->flush();
  if (!*out_) fail(getMetLastError());
  if (replacement_.commit()) return;
  if (!replacement_.committed()) fail(getMetLastError());
  throw Error("\"" + target_ + "\" was written, but " + getMetLastError() +
                  "; it may not survive a power cut.",
              Error::Cause::kSystem);
}

void FileReplacement::fail(const std::string& why) const {
  throw Error("Cannot write \"" + target_ + "\"" + (why.empty() ? "" : ": " + why) + ".",
              Error::Cause::kSystem);
}

}  // namespace metdb
