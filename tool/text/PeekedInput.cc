#include "tool/text/PeekedInput.h"

namespace metdb {

PeekedInput::PeekedInput(std::streambuf* source, std::size_t bytes) : source_(source) {
  start_.resize(bytes);
  std::streamsize got = source_->sgetn(&start_[0], static_cast<std::streamsize>(bytes));
  start_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
}

PeekedInput::int_type PeekedInput::underflow() {
  if (!startServed_) {
    startServed_ = true;
    if (!start_.empty()) {
      setg(&start_[0], &start_[0], &start_[0] + start_.size());
      return traits_type::to_int_type(start_[0]);
    }
  }
  // After the bytes read ahead, the source's own, a block at a time.
  block_.resize(kBlock);
  std::streamsize got = source_->sgetn(&block_[0], static_cast<std::streamsize>(kBlock));
  if (got <= 0) return traits_type::eof();
  setg(&block_[0], &block_[0], &block_[0] + got);
  return traits_type::to_int_type(block_[0]);
}

}  // namespace metdb
