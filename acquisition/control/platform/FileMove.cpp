#include "acquisition/control/platform/FileMove.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int RenameNoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  return errno;
#else
  return ENOSYS;
#endif
}

// Writes every byte; false on any failure.
bool WriteAll(int fd, const char* data, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, data, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies into a file that must not exist yet, then removes the source. A
// failed copy removes the half-written target again, so the recording stays
// only where it was.
int CopyThenDelete(const char* from, const char* to) {
  const int in = ::open(from, O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  const int out = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    return error;
  }
  std::vector<char> buffer(1 << 16);
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (n == 0) break;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) {
      error = errno != 0 ? errno : EIO;
      break;
    }
  }
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  ::close(in);
  if (error != 0) {
    ::unlink(to);
    return error;
  }
  ::unlink(from);
  return 0;
}

bool IsWritableFolder(const std::string& folder) {
  struct stat st {};
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder) {
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') {
      const std::string part = folder.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return IsWritableFolder(folder);
}

}  // namespace

int MoveFileNoReplace(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return ENOENT;
  int error = RenameNoReplace(from.c_str(), to.c_str());
  if (error == 0 || error == EEXIST || error == ENOENT) return error;
  if (error != EXDEV) {
    // The file system cannot rename without replacing: a hard link refuses an
    // existing name just as well.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return 0;
    }
    error = errno;
    if (error == EEXIST || error == ENOENT) return error;
  }
  return CopyThenDelete(from.c_str(), to.c_str());
}

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return std::string();
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string RecordingFolder(const std::string& programFolder, const char* xdgDataHome, const char* home) {
  // A portable installation (its Settings.dat beside the program) records
  // there too; a build folder or an installed package never gets files.
  const std::string settings = programFolder + "/Settings.dat";
  if (IsWritableFolder(programFolder) && ::access(settings.c_str(), F_OK) == 0) return programFolder;
  std::string base;
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    base = xdgDataHome;
  } else if (home != nullptr && home[0] == '/') {
    base = std::string(home) + "/.local/share";
  } else {
    return std::string();
  }
  const std::string folder = base + "/varnak";
  return MakeFolders(folder) ? folder : std::string();
}

std::string DefaultRecordingFolder() {
  return RecordingFolder(ProgramFolder(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}
