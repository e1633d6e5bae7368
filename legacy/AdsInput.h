// Byte sources for the ADS reader: a file read through a buffer, or text
// already in memory. The reader takes one byte at a time from either.
//
// Thread contract: an input belongs to the one thread that reads from it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class AdsInput {
 public:
  static constexpr int kEnd = -1;

  virtual ~AdsInput() = default;
  // The next byte (0 to 255), or kEnd at the end or after a read error.
  virtual int Get() = 0;
  // True when the input ended by a read error rather than at its end.
  virtual bool Failed() const { return false; }
};

class AdsTextInput : public AdsInput {
 public:
  explicit AdsTextInput(std::string_view text) : text_(text) {}
  int Get() override;

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

class AdsFileInput : public AdsInput {
 public:
  // No definition comes near this size; a longer input (or an endless one
  // such as a device) ends with a read error instead of reading forever.
  static constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

  // Opens the file for reading; IsOpen() tells whether that worked and
  // OpenError() says why not.
  explicit AdsFileInput(const std::string& path, std::size_t maxBytes = kMaxFileBytes);

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& OpenError() const { return openError_; }

  int Get() override;
  bool Failed() const override { return failed_; }
  // The reason of the read error, when Failed().
  const std::string& ReadError() const { return readError_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::vector<unsigned char> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  std::size_t total_ = 0;
  std::size_t maxBytes_;
  bool failed_ = false;
  bool ended_ = false;
  std::string openError_;
  std::string readError_;
};
