// The operating-system side of a datalog file: one open file with a logical
// position, whole-block reads and writes, a read-ahead buffer for sequential
// reading, and an exclusive advisory lock so that two logs never share a file.
//
// This is the only place of the datalog engine that knows about file
// descriptors.
//
// Thread contract: not thread-safe; DataLogFile calls it under its own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class LogFileHandle {
 public:
  enum class Mode {
    kExistingReadWrite,  // an existing file, read and write (read only when writing is not permitted)
    kCreateReadWrite,    // created or truncated, read and write
  };

  LogFileHandle() = default;
  ~LogFileHandle();
  LogFileHandle(const LogFileHandle&) = delete;
  LogFileHandle& operator=(const LogFileHandle&) = delete;

  // False when the file cannot be opened or another handle holds it.
  bool Open(const char* path, Mode mode);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  bool IsWritable() const { return writable_; }

  // Reads up to count bytes at the position and advances it. Returns the number
  // of bytes read (less than count only at the end of the file), or -1 on error.
  long long Read(void* buffer, std::size_t count);
  // Writes count bytes at the position and advances it; false on any short write.
  bool Write(const void* data, std::size_t count);
  // Moves the position (beyond the end is allowed; reads there return 0 bytes).
  void SeekTo(std::uint64_t offset) { position_ = offset; }
  std::uint64_t Position() const { return position_; }
  // Current size of the file; false on error.
  bool Size(std::uint64_t* size) const;
  // Makes the file at least size bytes long (zeros are added).
  bool ExtendTo(std::uint64_t size);
  // Cuts the file to size bytes when it is longer.
  bool TruncateTo(std::uint64_t size);
  // The system's error number of the last call that failed (0 when none has).
  int LastError() const { return lastError_; }

 private:
  void DropReadAhead() { bufferLength_ = 0; }

  bool Fail(int error) {
    lastError_ = error;
    return false;
  }

  int fd_ = -1;
  int lastError_ = 0;
  bool writable_ = false;
  std::uint64_t position_ = 0;
  std::vector<std::uint8_t> buffer_;  // read-ahead data starting at bufferStart_
  std::uint64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
};
