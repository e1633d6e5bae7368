// The far end of a pseudo-terminal for tests: the port under test opens the
// terminal side by name, the test talks through the controlling side.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class PtyPeer {
 public:
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  // The device path to open with QvSerial.
  const std::string& Path() const { return path_; }

  void Write(const std::vector<std::uint8_t>& bytes);
  // Writes the bytes one at a time with the given gap before each byte.
  void WriteSpaced(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds gap);
  // Runs fn on a background thread after the delay (joined by the destructor or Join).
  void After(std::chrono::milliseconds delay, std::function<void()> fn);
  void Join();

  // Reads up to count bytes, waiting at most timeout for them all.
  std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds timeout);
  // Drops whatever the port has sent so far.
  void Drain();

  // Closes the controlling side: the port vanishes for its user.
  void Hangup();

  // The terminal-side descriptor the peer keeps open (for inspecting settings).
  int TerminalFd() const { return slave_; }

 private:
  std::atomic<int> master_{-1};
  int slave_ = -1;
  std::string path_;
  std::vector<std::thread> threads_;
};
