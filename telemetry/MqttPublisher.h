// Publishes text messages to an MQTT broker without ever making the caller
// wait. A thread of its own owns the libmosquitto client: it connects, keeps
// a retained "online" on the status topic (with a retained "offline" as the
// last will), reconnects in the background when the broker goes away, and
// publishes what Publish() queued with QoS 0. The queue is bounded: a message
// that finds it full, or finds no connection, is dropped and counted.
//
// Thread contract:
// - Start, Stop and the destructor run on the owner's thread.
// - Publish, Connected, Dropped and Published may be called from any thread
//   (the acquisition thread publishes); the queue has its own lock, held only
//   to move a message in or out; the flags and counters are atomics.
// - The note callback runs on the publisher thread, one call at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct MqttAddress {
  std::string host;
  int port = 1883;
};

// Reads "HOST" or "HOST:PORT" (a port from 1 to 65535); false when it is not
// an address.
[[nodiscard]] bool ParseMqttAddress(const std::string& text, MqttAddress* address);

struct MqttPublisherOptions {
  MqttAddress broker;
  // The topics are "<topicRoot>/values" and "<topicRoot>/status".
  std::string topicRoot;
  // Messages waiting for the broker at most; more are dropped.
  std::size_t queueLimit = 64;
  // One line for the log on each change of the connection (publisher thread).
  std::function<void(const std::string&)> note;
};

class MqttPublisher {
 public:
  explicit MqttPublisher(MqttPublisherOptions options);
  // Stops like Stop().
  ~MqttPublisher();
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  // Starts the publisher thread; it connects in the background.
  void Start();
  // Publishes "offline" (retained), disconnects cleanly and joins the
  // thread. Waits at most about a second for a broker that does not answer.
  void Stop();

  // Queues a message for the values topic; never blocks on the network.
  void Publish(std::string message);
  // Counts a message that was not even made (no connection to send it on).
  void CountDropped() { dropped_.fetch_add(1, std::memory_order_relaxed); }

  bool Connected() const { return connected_.load(std::memory_order_acquire); }
  std::uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }
  std::uint64_t Published() const { return published_.load(std::memory_order_relaxed); }
  const std::string& ValuesTopic() const { return valuesTopic_; }
  const std::string& StatusTopic() const { return statusTopic_; }

 private:
  void Run();
  void Note(const std::string& text);

  MqttPublisherOptions options_;
  std::string valuesTopic_;
  std::string statusTopic_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::atomic<std::uint64_t> dropped_{0};
  std::atomic<std::uint64_t> published_{0};
  std::mutex queueMutex_;
  std::deque<std::string> queue_;  // guarded by queueMutex_
  std::thread thread_;
};
