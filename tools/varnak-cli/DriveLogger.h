// The unattended drive logger: waits for the port to appear, scans it, and
// records each drive into its own log in a folder, named by the time of its
// first good packet ("2026-12-08_14-03-22.xdl"; "-2", "-3", ... are added
// rather than overwriting a file). A drive's log is created at its first good
// packet, so connection attempts against a silent ECU leave no empty logs; a
// drive ends when the ECU has been quiet for the idle time or the port
// vanishes, and the logger then waits for the next drive. Every record is
// written straight into the drive's log, so a power loss leaves every complete
// record playable. With a size limit the oldest drive logs are deleted when
// the folder's drive logs grow past it (never the log being written).
//
// Thread contract: Run is called on the owner's thread and returns when
// `stop` is set (from any thread or a signal handler) or the definition
// cannot be loaded. The recorder is a packet sink: it records on the
// acquisition thread; its lock guards the log file, so that the owner's
// thread can close a drive while packets arrive. The note callback is called
// on the owner's thread and on the acquisition thread; each call gives one
// whole line.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Session;
class IPacketSink;

// How important a note is (journald's priorities).
enum class NoteLevel { Error = 3, Warning = 4, Info = 6 };

struct DriveLoggerOptions {
  std::string portPath;
  std::string folder;
  double idleSeconds = 5.0;
  // Drive logs kept in the folder at most, in bytes; 0: no limit.
  std::uint64_t keepBytes = 0;
  std::function<void(NoteLevel, const std::string&)> note;
};

// Result of one drive logger run.
enum class [[nodiscard]] DriveLoggerEnd{
    Stopped,      // the stop flag ended it (every log closed)
    FolderError,  // the folder could not be made or written
};

class DriveLogger {
 public:
  // session: borrowed, with its definition loaded; must outlive the logger.
  DriveLogger(Session& session, DriveLoggerOptions options);
  ~DriveLogger();
  DriveLogger(const DriveLogger&) = delete;
  DriveLogger& operator=(const DriveLogger&) = delete;

  DriveLoggerEnd Run(const std::atomic<bool>& stop);

  // The logs of the drives that have ended, in order.
  const std::vector<std::string>& FinishedLogs() const { return finished_; }

 private:
  class Recorder;

  // One connection: scans until the ECU is quiet, the port goes or stop.
  void ScanOnce(const std::atomic<bool>& stop);
  void EndDrive(const std::string& why);
  void Prune();
  void Note(NoteLevel level, const std::string& text);

  Session& session_;
  DriveLoggerOptions options_;
  std::unique_ptr<Recorder> recorder_;
  std::vector<std::string> finished_;
  bool portFailureNoted_ = false;  // the port failure was told once; cleared by a drive
};

// The name of a drive log for a start time, "YYYY-MM-DD_HH-MM-SS", with
// "-N" from the second name of that second on (n counts from 1).
std::string DriveLogName(const std::tm& start, int n);
// True for a file name that DriveLogName made (with the .xdl ending).
bool IsDriveLogName(const std::string& fileName);
