#pragma once

// The behaviour of the simulated ECU without any input or output: bytes that
// arrived go in through receive(), bytes that are due on the line come out of
// takeDue(). Time is passed in by the caller, so the whole behaviour (echo,
// request matching, pacing, script, faults) can be driven by a test clock.
//
// Output order: echoed bytes go out at once, ahead of everything else; replies
// and script output follow in the order they were made, each reply not before
// its exchange's delay has passed. With pacing on, consecutive queued bytes are
// 10 bit times apart; a byte-delay fault adds its delay to that gap.
//
// With echo on the link is a single wire: bytes that arrive while the ECU is
// in the middle of sending collide with its own and are not understood, so a
// host that talks over a reply gets no answer and falls back into step on its
// next request instead of reading shifted replies for ever.
//
// The script advances only while the output queue is empty, so a silent
// period starts when the bytes before it have gone out. Requests are answered
// at any moment, also during a silent period of the script.
//
// Thread contract: one thread at a time (the simulator thread).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "tools/ecu-sim/EcuScenario.h"
#include "tools/ecu-sim/ReplyBuilder.h"

class SimulatorCore {
 public:
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  // The scenario must be valid (EcuScenario::validate) and outlive the core.
  SimulatorCore(const EcuScenario& scenario, TimePoint start);

  // Bytes that arrived from the other side: echoed when the link echoes, and
  // matched against the requests of the exchanges unless they were not
  // understood (sent at a different speed).
  void receive(const std::uint8_t* data, std::size_t count, TimePoint now, bool understood = true);
  void applyFault(const FaultSpec& fault, TimePoint now);
  // Starts the script from its beginning, or stops it.
  void setChatter(bool on, TimePoint now);

  // Runs the script up to `now` and returns every byte that is due by then.
  EcuBytes takeDue(TimePoint now);
  // The next moment at which takeDue() may have something to do;
  // TimePoint::max() when nothing is planned.
  TimePoint nextWake(TimePoint now) const;
  // True once a close fault has come due: the caller closes the line after
  // writing what takeDue() returned.
  bool shouldClose() const { return closeNow_; }
  // Nothing queued and the script stopped, finished or in a silent period.
  bool idle() const;

  std::size_t requestsSeen() const { return requestsSeen_; }
  std::size_t repliesSent() const { return repliesSent_; }

 private:
  struct Chunk {
    EcuBytes bytes;
    std::size_t pos = 0;
    TimePoint notBefore;
  };

  double seconds(TimePoint now) const;
  void enqueue(EcuBytes bytes, TimePoint notBefore);
  // The reply of an exchange as it goes out now, faults applied; nothing
  // when a drop fault swallowed it.
  std::optional<EcuBytes> makeReply(std::size_t index, TimePoint now);
  void sendReply(std::size_t index, TimePoint now, unsigned delayMs);
  bool emit(std::uint8_t byte, EcuBytes& out);
  bool transmitting(TimePoint now) const;
  bool drain(TimePoint now, EcuBytes& out);
  bool runScript(TimePoint now);
  void finishAction();

  const EcuScenario& scenario_;
  ReplyBuilder builder_;
  TimePoint start_;

  EcuBytes echo_;    // echoed bytes waiting to go out
  EcuBytes recent_;  // the latest received bytes, as many as the longest request
  std::size_t longestRequest_ = 0;
  std::deque<Chunk> queue_;
  TimePoint nextByteTime_;
  Clock::duration paceGap_{0};
  Clock::duration byteDelay_{0};

  int dropCount_ = 0;
  int shortCount_ = 0;
  std::size_t shortLength_ = 0;
  int badChecksumCount_ = 0;
  std::optional<std::size_t> closeAfter_;
  bool closeNow_ = false;

  bool scriptRunning_ = false;
  std::size_t scriptIndex_ = 0;
  bool actionStarted_ = false;
  TimePoint actionUntil_;
  TimePoint repeatNext_;
  TimePoint roundStart_;

  std::size_t requestsSeen_ = 0;
  std::size_t repliesSent_ = 0;
};
