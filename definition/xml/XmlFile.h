// The file access of the XML layer: a small owner of a POSIX file descriptor
// with the few operations the parser and the writer need. Keeping it here
// keeps the parser and writer free of system calls.
//
// Thread contract: an XmlFile is used by one thread at a time; it holds no
// shared state.
#pragma once

#include <sys/types.h>
#include <cstddef>

class XmlFile {
 public:
  XmlFile() = default;
  ~XmlFile();
  XmlFile(XmlFile&& other) noexcept;
  XmlFile& operator=(XmlFile&& other) noexcept;
  XmlFile(const XmlFile&) = delete;
  XmlFile& operator=(const XmlFile&) = delete;

  // Opens an existing file for reading. Directories and missing files fail
  // (the result is not open).
  static XmlFile OpenForReading(const char* path);
  // Creates the file, or truncates an existing one, for writing.
  static XmlFile CreateForWriting(const char* path);

  bool IsOpen() const { return fd_ >= 0; }

  // Reads until `size` bytes arrived or the file ended, retrying short and
  // interrupted reads. Returns the number of bytes read (less than `size`
  // only at the end of the file) or -1 on a read error.
  ssize_t ReadFull(void* buffer, size_t size);

  // Writes all `size` bytes, retrying short and interrupted writes. Returns
  // false when the system refused a write (disk full, I/O error, ...).
  bool WriteAll(const void* data, size_t size);

  // Closes the descriptor. Returns false when the system reported an error
  // on close (delayed write errors show up here) or nothing was open.
  bool Close();

 private:
  explicit XmlFile(int fd) : fd_(fd) {}
  int fd_ = -1;
};
