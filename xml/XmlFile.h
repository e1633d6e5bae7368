// The file access of the XML layer: a small owner of a POSIX file descriptor
// with the few operations the parser and the writer need. Keeping it here
// keeps the parser and writer free of system calls.
//
// A file created for writing replaces an existing regular file only when it
// is closed successfully: the bytes first go to a temporary file beside the
// target, which is renamed over it at Close. A failed or discarded write
// therefore leaves the earlier file as it was. Where no temporary file can be
// made (or the target is a device or pipe) the target is written directly.
//
// Thread contract: an XmlFile is used by one thread at a time; the only state
// shared between objects is an atomic counter for temporary names.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <string>

class XmlFile {
 public:
  XmlFile() = default;
  // Closes a file opened for reading; discards an unfinished replacement.
  ~XmlFile();
  XmlFile(XmlFile&& other) noexcept;
  XmlFile& operator=(XmlFile&& other) noexcept;
  XmlFile(const XmlFile&) = delete;
  XmlFile& operator=(const XmlFile&) = delete;

  // Opens an existing file for reading. Directories and missing files fail
  // (the result is not open).
  static XmlFile OpenForReading(const char* path);
  // Opens the file for writing: a new file, or the replacement of an
  // existing one (see above).
  static XmlFile CreateForWriting(const char* path);

  bool IsOpen() const { return fd_ >= 0; }
  // True when the bytes go to a temporary file that Close renames.
  bool IsReplacing() const { return !tempPath_.empty(); }

  // Reads until `size` bytes arrived or the file ended, retrying short and
  // interrupted reads. Returns the number of bytes read (less than `size`
  // only at the end of the file) or -1 on a read error.
  ssize_t ReadFull(void* buffer, size_t size);

  // Writes all `size` bytes, retrying short and interrupted writes. Returns
  // false when the system refused a write (disk full, I/O error, ...).
  bool WriteAll(const void* data, size_t size);

  // Closes the descriptor; a replacement is flushed to the disk and renamed
  // over its target. Returns false when any of that failed (the target then
  // keeps its earlier contents) or nothing was open.
  bool Close();

  // Closes without replacing the target: the temporary file is removed. A
  // file written directly keeps what was written.
  void Discard();

 private:
  explicit XmlFile(int fd) : fd_(fd) {}
  int fd_ = -1;
  std::string tempPath_;    // empty unless replacing
  std::string targetPath_;  // the file a replacement is renamed to
};
