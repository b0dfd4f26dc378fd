#include "tool/InputFile.h"

#include <streambuf>
#include <vector>

#include "platform/Env.h"

namespace metdb {

class InputFile::Buffer : public std::streambuf {
 public:
  explicit Buffer(const std::string& path)
      : env_(platform::Env::current()),
        file_(env_->open(path, platform::Env::kRead, 0)),
        data_(64 * 1024) {
    setg(data_.data(), data_.data(), data_.data());
  }
  ~Buffer() override {
    if (file_ >= 0) env_->close(file_);
  }
  bool isOpen() const { return file_ >= 0; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (file_ < 0 || failed_) return traits_type::eof();
    long n = env_->read(file_, data_.data(), data_.size(), offset_);
    if (n < 0) {
      // The stream turns an exception here into badbit.
      failed_ = true;
      throw std::ios_base::failure("cannot read");
    }
    if (n == 0) return traits_type::eof();
    offset_ += n;
    setg(data_.data(), data_.data(), data_.data() + n);
    return traits_type::to_int_type(*gptr());
  }

 private:
  platform::Env* env_;
  int file_;
  std::vector<char> data_;
  long offset_ = 0;
  bool failed_ = false;
};

InputFile::InputFile(const std::string& path)
    : std::istream(nullptr), buffer_(std::make_unique<Buffer>(path)) {
  rdbuf(buffer_.get());
  if (!buffer_->isOpen()) setstate(std::ios::failbit);
}

InputFile::~InputFile() = default;

}  // namespace metdb
