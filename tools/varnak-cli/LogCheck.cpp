#include "tools/varnak-cli/LogCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ostream>
#include <sstream>
#include <vector>

#include "datalog/DataLogFile.h"
#include "datalog/XdlEntry.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXDefinition.h"
#include "tools/varnak-cli/CliSupport.h"
#include "tools/varnak-cli/ItemRows.h"

namespace {

// Reads a file through a window of a megabyte: records are walked in order,
// so nearly every read is served from the window.
class WindowReader {
 public:
  explicit WindowReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~WindowReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  WindowReader(const WindowReader&) = delete;
  WindowReader& operator=(const WindowReader&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  std::uint64_t Size() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  }
  // Copies size bytes at offset; false when they are not all there.
  bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    if (offset < start_ || offset + size > start_ + window_.size()) {
      window_.resize(kWindow);
      const ssize_t n = ::pread(fd_, window_.data(), kWindow, static_cast<off_t>(offset));
      window_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
      start_ = offset;
      if (offset + size > start_ + window_.size()) return false;
    }
    std::memcpy(out, window_.data() + (offset - start_), size);
    return true;
  }

 private:
  static constexpr std::size_t kWindow = 1 << 20;
  int fd_;
  std::uint64_t start_ = 0;
  std::vector<std::uint8_t> window_;
};

std::string OffsetText(std::uint64_t offset) {
  return std::to_string(offset);
}

}  // namespace

std::string LogErrorText(const std::string& path, XdlResult code, int systemError) {
  switch (code) {
    case XDL_ERR_CANNOT_OPEN:
      return systemError != 0 ? std::strerror(systemError) : "cannot be opened";
    case XDL_ERR_VERSION: {
      WindowReader reader(path);
      std::uint8_t bytes[4] = {};
      if (reader.IsOpen() && reader.Size() >= kXdlHeaderSize && reader.Read(0, bytes, 4)) {
        const std::uint32_t version = XdlGetU32(bytes);
        // Versions of this format are small numbers; anything else is another kind of file.
        if (version >= 1 && version <= 255)
          return "log version " + std::to_string(version) + " is not supported (this program reads version " +
                 std::to_string(kXdlVersion) + ")";
      }
      return "not an XDL log";
    }
    case XDL_ERR_IO:
      return "not an XDL log (its header or command table is damaged or cut short)";
    case XDL_ERR_NO_ENTRY:
      return "a record names a command that is not in the log's table";
    case XDL_ERR_BUFFER_SMALL:
      return "a record is larger than its command allows";
    default:
      return "error " + std::to_string(static_cast<int>(code));
  }
}

LogCheck CheckLog(const std::string& path) {
  LogCheck check;
  std::vector<XdlEntry> entries;
  std::uint32_t recordCount = 0;
  bool closedProperly = false;
  {
    DataLogFile log;
    const XdlResult code = log.Open(path.c_str(), true);
    if (code != XDL_OK) {
      check.problem = LogErrorText(path, code, log.OpenError());
      return check;
    }
    const int count = log.EntryCount();
    for (int i = 0; i < count; ++i) {
      XdlEntry entry;
      if (!log.GetEntry(i, &entry)) continue;
      check.commandHashes.push_back(entry.commandIdHash);
      check.commandIds.emplace_back(entry.idText, strnlen(entry.idText, sizeof entry.idText));
      entries.push_back(std::move(entry));
    }
    const XdlHeader header = log.Header();
    closedProperly = header.endOffset != kXdlOpenEnd && header.recordCount != 0;
    recordCount = log.RecordCount();
    (void)log.Close();
  }

  // Walk the records as playback does: a known command's record is followed
  // by the next one; an unknown one is skipped by its next offset, which must
  // move forward and stay inside the file.
  WindowReader reader(path);
  const std::uint64_t size = reader.Size();
  std::uint64_t position = kXdlHeaderSize + 4;
  for (const XdlEntry& entry : entries) position += kXdlEntryFixedSize + entry.maskLength;
  std::uint64_t records = 0;
  while (position + kXdlRecordHeadSize <= size) {
    std::uint8_t block[kXdlRecordHeadSize];
    if (!reader.Read(position, block, sizeof block)) break;
    const XdlRecordHead head = DecodeXdlRecordHead(block);
    if (head.entryIndex < entries.size()) {
      const std::uint64_t end = position + kXdlRecordHeadSize + entries[head.entryIndex].storedSize;
      if (end > size) break;  // the last record was cut short: the data ends there
      ++records;
      position = end;
    } else if (head.nextOffset < position + kXdlRecordHeadSize || head.nextOffset > size) {
      check.problem = "the records cannot be followed: the record at offset " + OffsetText(position) +
                      " names no command of the log and points to offset " + OffsetText(head.nextOffset) +
                      (head.nextOffset > size ? ", beyond the end of the file" : ", back into the log");
      return check;
    } else {
      position = head.nextOffset;
    }
  }
  if (closedProperly && records < recordCount) {
    check.problem = "the records cannot be followed: the header counts " + std::to_string(recordCount) +
                    " records, but only " + std::to_string(records) + " can be read";
    return check;
  }
  check.records = records;
  check.ok = true;
  return check;
}

bool DefinitionsMatchLog(const std::string& logPath, const std::vector<std::string>& definitionPaths,
                         std::ostream& err) {
  const LogCheck check = CheckLog(logPath);
  if (!check.ok) return true;
  for (const std::string& path : definitionPaths) {
    ADXDefinition definition;
    std::ostringstream ignored;
    if (!LoadDefinitionForCli(definition, path, ignored)) continue;
    const ItemRowFormatter formatter(definition);
    bool matches = false;
    for (std::uint32_t hash : check.commandHashes) matches = matches || formatter.MakesRow(hash);
    if (!matches) {
      std::string held;
      for (const std::string& id : check.commandIds) held += (held.empty() ? "" : ", ") + id;
      err << path << " matches no command of " << logPath << " (the log holds "
          << (held.empty() ? std::string("no command") : held) << ")\n";
      return false;
    }
  }
  return true;
}
