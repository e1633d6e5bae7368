// Where the rows of scan, play and export go: standard output, a device or a
// pipe, or a regular file. A regular file is never one of the command's
// inputs and never replaces an existing file unless the user forces it; with
// a temporary file it appears under its name only when the command has
// succeeded, so that a failed run leaves no half file behind.
//
// Thread contract: Open and Finish run on the session's thread; Write is
// called by one thread at a time (the thread that delivers packets, or the
// session's thread before and after them). Failed() may be read from any
// thread. Without flushEachRow, full blocks are written by a writer thread
// of the output's own while the next block fills; Finish joins it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CsvTarget {
  std::string path;                 // "-" for standard output
  std::vector<std::string> inputs;  // files the command reads or records into
  bool force = false;               // an existing regular file may be replaced
  bool viaTemporary = false;        // write a regular file under a temporary name first
  bool flushEachRow = false;        // each row reaches the reader as it happens
};

// Why a target cannot be written; empty when it can. Checks only, creates
// nothing: a command asks before it reads its inputs or records anything.
std::string CsvTargetProblem(const CsvTarget& target);

// True when the two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

class CsvOutput {
 public:
  CsvOutput() = default;
  CsvOutput(const CsvOutput&) = delete;
  CsvOutput& operator=(const CsvOutput&) = delete;
  // An output that was not finished is discarded (its temporary file removed).
  ~CsvOutput();

  // Opens the target; false with the reason on err.
  bool Open(const CsvTarget& target, std::FILE* err);
  bool IsOpen() const { return stream_ != nullptr; }

  // Buffers text and writes it in blocks (or at once with flushEachRow).
  // After a failed write nothing more is written.
  void Write(const std::string& text);
  // Room for at least size characters at the end of the buffer, to be
  // filled in place and then handed over with Commit (the end of what was
  // written). nullptr when nothing more is written (closed or failed).
  char* Reserve(std::size_t size);
  void Commit(const char* end);
  // True once a write failed; brokenPipe when the reader went away (a
  // closed pipe: the user's stop, not a fault).
  bool Failed() const { return failed_.load(std::memory_order_acquire); }
  bool BrokenPipe() const { return brokenPipe_.load(std::memory_order_acquire); }

  // Writes what is buffered and closes. With keep, a temporary file takes
  // the target's name; without, it is removed. False (and the reason on err)
  // when anything failed.
  bool Finish(bool keep, std::FILE* err);

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  struct Block {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
  };
  // Hands the filled block to the writer (or writes it here with
  // flushEachRow) and starts an empty one.
  void Flush();
  // Writes a block to the stream; false (with the reason kept) on failure.
  bool WriteBlock(const Block& block);
  void WriterMain();
  void StopWriter();

  CsvTarget target_;
  std::FILE* stream_ = nullptr;
  bool owned_ = false;
  std::string temporary_;      // the temporary file's name, when one is used
  std::atomic<int> error_{0};  // errno of the first failed write
  std::atomic<bool> failed_{false};
  std::atomic<bool> brokenPipe_{false};
  Block filling_;  // the block that rows go into

  // The writer: a block handed over, written while the next one fills.
  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Block handed_;       // guarded by mutex_
  bool full_ = false;  // guarded by mutex_: handed_ waits to be written
  bool stop_ = false;  // guarded by mutex_
};
