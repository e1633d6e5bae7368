#pragma once

// The POSIX side of the simulator: a pseudo-terminal pair in raw mode and a
// self-pipe to interrupt a waiting thread. Nothing else in the simulator
// touches file descriptors.
//
// Thread contract: PseudoTerminal is used by one thread at a time. WakePipe's
// notify() may be called from any thread; drain() and fd() belong to the
// waiting thread.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the pair: the master is non-blocking, the slave raw (8 bits, no
  // echo, no line editing). The simulator keeps a slave descriptor open so
  // that the master does not see a hang-up while no client has the port open.
  bool open(std::string* error);
  // Closes both sides; the client then reads end-of-line errors.
  void close();
  bool isOpen() const { return master_ >= 0; }
  const std::string& slavePath() const { return slavePath_; }
  int masterFd() const { return master_; }

  // Non-blocking transfers on the master: the count moved, 0 when nothing
  // could be moved now, -1 on a lasting error.
  long read(std::uint8_t* buffer, std::size_t size);
  long write(const std::uint8_t* data, std::size_t size);
  // Bytes written to the master that the client has not read yet. A closing
  // master takes such bytes with it, so the simulator waits for them first.
  std::size_t unreadByClient() const;
  // The baud rate the client set on its side (0 when unknown). A pseudo-
  // terminal does not run at any speed, but it keeps the setting.
  unsigned clientBaud() const;

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

class WakePipe {
 public:
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool isOpen() const { return read_ >= 0 && write_ >= 0; }
  void notify();
  void drain();
  int fd() const { return read_; }

 private:
  int read_ = -1;
  int write_ = -1;
};

// Waits until the terminal has input (or room for output when `wantWrite`),
// the pipe was notified, or the timeout passed. Returns false when the wait
// itself failed.
bool waitForLine(const PseudoTerminal& terminal, bool wantWrite, const WakePipe& pipe,
                 std::chrono::nanoseconds timeout);
