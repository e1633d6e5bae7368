#include "legacy/AdsInput.h"

#include <cerrno>
#include <cstring>

int AdsTextInput::Get() {
  if (position_ >= text_.size()) return kEnd;
  return static_cast<unsigned char>(text_[position_++]);
}

AdsFileInput::AdsFileInput(const std::string& path, std::size_t maxBytes)
    : buffer_(64 * 1024), maxBytes_(maxBytes) {
  errno = 0;
  file_.reset(std::fopen(path.c_str(), "rb"));
  if (!file_) openError_ = errno != 0 ? std::strerror(errno) : "unknown error";
}

int AdsFileInput::Get() {
  if (position_ < filled_) return buffer_[position_++];
  if (!file_ || ended_) return kEnd;
  errno = 0;
  filled_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  position_ = 0;
  if (filled_ == 0) {
    ended_ = true;
    if (std::ferror(file_.get())) {
      failed_ = true;
      readError_ = errno != 0 ? std::strerror(errno) : "read error";
    }
    return kEnd;
  }
  total_ += filled_;
  if (total_ > maxBytes_) {
    filled_ = 0;
    ended_ = true;
    failed_ = true;
    readError_ =
        "the file is larger than " + std::to_string(maxBytes_) + " bytes, too large for a definition";
    return kEnd;
  }
  return buffer_[position_++];
}
