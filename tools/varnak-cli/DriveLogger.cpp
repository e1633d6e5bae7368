#include "tools/varnak-cli/DriveLogger.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "acquisition/control/AcquisitionControl.h"
#include "datalog/DataLogFile.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "session/Session.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Every recorded entry stores the whole reply, as the program's recordings do.
constexpr std::uint32_t kRecordMaskBits = 15 * 8;
// How often the folder's size is checked while a drive runs.
constexpr auto kPruneInterval = 30s;

std::string Reason(int error) {
  const char* text = ::strerrordesc_np(error != 0 ? error : EIO);
  return text != nullptr ? text : "error " + std::to_string(error);
}

bool PortPresent(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

void SleepUnlessStopped(const std::atomic<bool>& stop, std::chrono::milliseconds duration) {
  const auto end = Clock::now() + duration;
  while (!stop.load(std::memory_order_acquire) && Clock::now() < end) std::this_thread::sleep_for(10ms);
}

bool Digits(const std::string& s, std::size_t from, std::size_t count) {
  if (from + count > s.size()) return false;
  for (std::size_t i = from; i < from + count; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// Where a command's reply lies around the packet that sinks see.
struct ReplyShape {
  std::uint32_t commandIdHash = 0;
  std::size_t packetOffset = 0;  // the packet starts this far into the reply
  std::size_t replySize = 0;     // 0: the packet is the whole record (160-baud listen)
};

}  // namespace

std::string DriveLogName(const std::tm& start, int n) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d", start.tm_year + 1900, start.tm_mon + 1,
                start.tm_mday, start.tm_hour, start.tm_min, start.tm_sec);
  std::string name = text;
  if (n > 1) name += "-" + std::to_string(n);
  return name + ".xdl";
}

bool IsDriveLogName(const std::string& name) {
  // YYYY-MM-DD_HH-MM-SS[-N].xdl
  if (name.size() < 23 || name.compare(name.size() - 4, 4, ".xdl") != 0) return false;
  if (!Digits(name, 0, 4) || name[4] != '-' || !Digits(name, 5, 2) || name[7] != '-' || !Digits(name, 8, 2) ||
      name[10] != '_' || !Digits(name, 11, 2) || name[13] != '-' || !Digits(name, 14, 2) || name[16] != '-' ||
      !Digits(name, 17, 2))
    return false;
  if (name.size() == 23) return true;
  return name.size() > 24 && name[19] == '-' && Digits(name, 20, name.size() - 24);
}

// Records the good packets of the current drive into its own log, opening the
// log at the drive's first good packet.
class DriveLogger::Recorder : public IPacketSink {
 public:
  Recorder(Session& session, std::string folder, DriveLogger& owner)
      : session_(session), folder_(std::move(folder)), owner_(owner) {
    const ADXDefinition& definition = session.Definition();
    // (Unless one of them is also the command that reads the data.)
    const std::uint32_t monitor = definition.monitorcmd != nullptr ? definition.monitorcmd->idhash : 0;
    if (definition.connectcmd != nullptr && definition.connectcmd->idhash != monitor)
      connectHash_ = definition.connectcmd->idhash;
    if (definition.disconnectcmd != nullptr && definition.disconnectcmd->idhash != monitor)
      disconnectHash_ = definition.disconnectcmd->idhash;
    for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
      const ADXObject* object = definition.ObjectAt(i);
      if (object == nullptr) continue;
      XdlEntry entry;
      ReplyShape shape;
      if (object->objectType == ADX_TYPE_SENDCOMMAND) {
        const auto* send = static_cast<const ADXCSendCommand*>(object);
        if ((send->flags & kSendReadReply) == 0) continue;
        shape.replySize = static_cast<std::size_t>(std::max(0, send->replysize));
        shape.packetOffset = std::min<std::size_t>(shape.replySize, std::max(0, send->packetoffset));
        entry.storedSize = entry.fullSize = static_cast<std::uint32_t>(shape.replySize);
      } else if (object->objectType == ADX_TYPE_160BAUDLISTEN) {
        const auto* listen = static_cast<const ADXC160BaudListen*>(object);
        entry.storedSize = entry.fullSize = static_cast<std::uint32_t>(std::max(0, listen->packetsize));
      } else {
        continue;
      }
      entry.commandIdHash = shape.commandIdHash = object->idhash;
      entry.SetIdText(object->id);
      entry.commandType = object->objectType;
      entry.mask = XdlMask::AllSet(kRecordMaskBits);
      entries_.push_back(entry);
      shapes_.push_back(shape);
    }
  }

  void OnPacket(const PacketEvent& event) override {
    if (!event.IsFullPacket()) return;
    lastPacket_.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
    // The replies of the connect and disconnect commands are no drive data.
    if (event.commandIdHash == connectHash_ || event.commandIdHash == disconnectHash_) return;
    const ReplyShape* shape = nullptr;
    for (const ReplyShape& s : shapes_)
      if (s.commandIdHash == event.commandIdHash) shape = &s;
    if (shape == nullptr) return;
    // A good reply is replySize bytes long and the packet lies inside it.
    const std::uint8_t* reply = event.packet - shape->packetOffset;
    const std::size_t size = shape->replySize != 0 ? shape->replySize : event.length;

    std::lock_guard<std::mutex> guard(mutex_);
    if (failed_) return;
    if (path_.empty() && !OpenDriveLocked()) {
      failed_ = true;
      return;
    }
    if (datalog_.RecordPacket(event.commandIdHash, reply, static_cast<std::uint32_t>(size)) == XDL_ERR_IO) {
      owner_.Note(NoteLevel::Error, "cannot write " + path_ + ": " + Reason(datalog_.RecordingFailure()) +
                                        "; the drive is no longer recorded");
      failed_ = true;
    }
  }

  // Clock ticks of the latest good packet; 0 before the first.
  Clock::rep LastPacket() const { return lastPacket_.load(std::memory_order_acquire); }

  std::string CurrentPath() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return path_;
  }

  // Closes the drive's log (complete and playable); the path, or empty when
  // no drive was being recorded.
  std::string CloseDrive(std::uint32_t* records) {
    std::lock_guard<std::mutex> guard(mutex_);
    failed_ = false;
    if (path_.empty()) return std::string();
    // A recording that cannot be finished leaves its cause in
    // RecordingFailure, reported below.
    if (datalog_.State() == XDL_STATE_RECORDING) (void)datalog_.StopRecording();
    *records = datalog_.Header().recordCount;
    if (datalog_.Close() == 0 || datalog_.RecordingFailure() != 0) {
      owner_.Note(NoteLevel::Error, "cannot finish " + path_ + ": " +
                                        Reason(datalog_.TakeRecordingFailure()) +
                                        "; its complete records stay playable");
    }
    std::string path;
    path.swap(path_);
    return path;
  }

 private:
  bool OpenDriveLocked() {
    const std::time_t now = std::time(nullptr);
    std::tm start{};
    localtime_r(&now, &start);
    std::string path;
    for (int n = 1; n < 1000 && path.empty(); ++n) {
      const std::string candidate = folder_ + "/" + DriveLogName(start, n);
      // Made here, exclusively: an existing log is never touched.
      const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd >= 0) {
        ::close(fd);
        path = candidate;
      } else if (errno != EEXIST) {
        owner_.Note(NoteLevel::Error, "cannot create " + candidate + ": " + Reason(errno));
        return false;
      }
    }
    if (path.empty()) {
      owner_.Note(NoteLevel::Error, "no free log name in " + folder_);
      return false;
    }
    const XdlResult code = datalog_.Open(path.c_str(), false);
    if (code != XDL_OK) {
      owner_.Note(NoteLevel::Error, "cannot open " + path + ": " + Reason(datalog_.OpenError()));
      ::unlink(path.c_str());
      return false;
    }
    for (const XdlEntry& entry : entries_) {
      if (datalog_.AddEntry(entry) != XDL_OK)
        owner_.Note(NoteLevel::Warning, std::string("cannot record command ") + entry.idText);
    }
    if (datalog_.StartRecording() != XDL_OK) {
      owner_.Note(NoteLevel::Error, "cannot start recording " + path);
      datalog_.Close();
      ::unlink(path.c_str());
      return false;
    }
    path_ = path;
    owner_.Note(NoteLevel::Info, "drive started: recording " + path_);
    return true;
  }

  Session& session_;
  const std::string folder_;
  DriveLogger& owner_;
  std::vector<XdlEntry> entries_;
  std::vector<ReplyShape> shapes_;
  std::uint32_t connectHash_ = 0;
  std::uint32_t disconnectHash_ = 0;
  std::atomic<Clock::rep> lastPacket_{0};
  mutable std::mutex mutex_;  // guards datalog_, path_ and failed_
  DataLogFile datalog_;
  std::string path_;     // the open drive's log; empty between drives
  bool failed_ = false;  // the drive could not be recorded; cleared at its end
};

DriveLogger::DriveLogger(Session& session, DriveLoggerOptions options)
    : session_(session), options_(std::move(options)) {
  recorder_ = std::make_unique<Recorder>(session_, options_.folder, *this);
}

DriveLogger::~DriveLogger() {
  session_.StopScan();
  session_.DetachSink(recorder_.get());
  EndDrive("the logger stopped");
}

void DriveLogger::Note(NoteLevel level, const std::string& text) {
  if (options_.note) options_.note(level, text);
}

DriveLoggerEnd DriveLogger::Run(const std::atomic<bool>& stop) {
  std::error_code ec;
  std::filesystem::create_directories(options_.folder, ec);
  if (!std::filesystem::is_directory(options_.folder, ec) || ::access(options_.folder.c_str(), W_OK) != 0) {
    Note(NoteLevel::Error, "cannot write to the folder " + options_.folder + ": " + Reason(errno));
    return DriveLoggerEnd::FolderError;
  }
  session_.AttachSink(recorder_.get());
  Prune();
  bool waitingNoted = false;
  while (!stop.load(std::memory_order_acquire)) {
    if (!PortPresent(options_.portPath)) {
      if (!waitingNoted) Note(NoteLevel::Info, "waiting for " + options_.portPath);
      waitingNoted = true;
      SleepUnlessStopped(stop, 100ms);
      continue;
    }
    waitingNoted = false;
    ScanOnce(stop);
  }
  session_.DetachSink(recorder_.get());
  return DriveLoggerEnd::Stopped;
}

void DriveLogger::ScanOnce(const std::atomic<bool>& stop) {
  session_.SetPort(options_.portPath);
  session_.ToggleConnection();
  const auto start = Clock::now();
  const auto idle =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options_.idleSeconds));
  auto lastPrune = start;
  std::string why = "the logger stopped";
  bool portFailed = false;
  while (!stop.load(std::memory_order_acquire)) {
    if (!session_.IsScanning()) {
      // A port that went away ends the scan on its own.
      portFailed = PortPresent(options_.portPath);
      why = session_.LastOpenFailed() ? session_.Acquisition().OpenFailureText()
            : portFailed              ? "the connection ended"
                                      : options_.portPath + " vanished";
      break;
    }
    if (!PortPresent(options_.portPath)) {
      why = options_.portPath + " vanished";
      break;
    }
    const auto now = Clock::now();
    const auto last = std::max(start, Clock::time_point(Clock::duration(recorder_->LastPacket())));
    if (now - last >= idle) {
      why = "the ECU stopped answering";
      break;
    }
    if (now - lastPrune >= kPruneInterval) {
      Prune();
      lastPrune = now;
    }
    std::this_thread::sleep_for(20ms);
  }
  session_.StopScan();
  const bool hadDrive = !recorder_->CurrentPath().empty();
  EndDrive(why);
  if (portFailed) {
    if (!portFailureNoted_) Note(NoteLevel::Warning, why + "; trying again");
    portFailureNoted_ = true;
    SleepUnlessStopped(stop, 1000ms);
  } else if (hadDrive) {
    portFailureNoted_ = false;
  }
}

void DriveLogger::EndDrive(const std::string& why) {
  std::uint32_t records = 0;
  const std::string path = recorder_->CloseDrive(&records);
  if (path.empty()) return;
  Note(NoteLevel::Info, "drive ended (" + why + "): " + path + ", " + std::to_string(records) + " records");
  finished_.push_back(path);
  Prune();
}

void DriveLogger::Prune() {
  if (options_.keepBytes == 0) return;
  struct Log {
    std::string name;
    std::uint64_t size;
  };
  std::vector<Log> logs;
  std::uint64_t total = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(options_.folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!IsDriveLogName(name) || !entry.is_regular_file(ec)) continue;
    const std::uint64_t size = entry.file_size(ec);
    if (ec) continue;
    logs.push_back({name, size});
    total += size;
  }
  if (total <= options_.keepBytes) return;
  // The names sort by start time: the oldest go first.
  const auto order = [](const Log& log) {
    const int n = log.name.size() > 23 ? std::atoi(log.name.c_str() + 20) : 1;
    return std::make_pair(log.name.substr(0, 19), n);
  };
  std::sort(logs.begin(), logs.end(), [&](const Log& a, const Log& b) { return order(a) < order(b); });
  const std::string current = recorder_->CurrentPath();
  for (const Log& log : logs) {
    if (total <= options_.keepBytes) break;
    const std::string path = options_.folder + "/" + log.name;
    if (path == current) continue;
    if (::unlink(path.c_str()) == 0) {
      total -= log.size;
      Note(NoteLevel::Info, "deleted the oldest drive log " + path + " to stay within the size limit");
    } else {
      Note(NoteLevel::Warning, "cannot delete " + path + ": " + Reason(errno));
    }
  }
}
