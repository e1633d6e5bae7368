// A real mosquitto broker for the telemetry tests and benchmark, started on
// 127.0.0.1 and a free port with a generated configuration, stopped by the
// destructor; and a subscriber that collects what the broker delivers.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// The mosquitto program, or empty when it is not installed.
inline std::string MosquittoProgram() {
  for (const char* path : {"/usr/sbin/mosquitto", "/usr/local/sbin/mosquitto", "/usr/bin/mosquitto"})
    if (::access(path, X_OK) == 0) return path;
  return std::string();
}

// A port on 127.0.0.1 that nothing listens on right now.
inline int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  ::close(fd);
  return port;
}

inline bool LoopbackAccepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

class MosquittoBroker {
 public:
  explicit MosquittoBroker(std::string folder) : folder_(std::move(folder)) {}
  ~MosquittoBroker() { Stop(); }

  // Starts the broker (on `port`, or a free one); false with a reason.
  bool Start(std::string* error, int port = 0) {
    const std::string program = MosquittoProgram();
    if (program.empty()) {
      *error = "mosquitto is not installed (Debian package 'mosquitto'); the telemetry tests need it";
      return false;
    }
    port_ = port != 0 ? port : FreeLoopbackPort();
    const std::string conf = folder_ + "/mosquitto.conf";
    std::ofstream(conf) << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\npersistence false\n";
    const std::string log = folder_ + "/mosquitto.log";
    std::vector<std::string> args = {program, "-c", conf};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      *error = "cannot start " + program;
      pid_ = 0;
      return false;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!LoopbackAccepts(port_)) {
      if (std::chrono::steady_clock::now() > end) {
        *error = "mosquitto did not listen on port " + std::to_string(port_);
        Stop();
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
  }
  int Port() const { return port_; }

 private:
  std::string folder_;
  int port_ = 0;
  pid_t pid_ = 0;
};

struct MqttMessage {
  std::string topic;
  std::string payload;
  bool retained = false;
};

// Subscribes to a topic filter and keeps every message (libmosquitto's own
// network thread delivers them).
class MqttSubscriber {
 public:
  MqttSubscriber(int port, const std::string& filter) {
    static std::once_flag init;
    std::call_once(init, [] { mosquitto_lib_init(); });
    client_ = mosquitto_new(nullptr, true, this);
    mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
      auto* s = static_cast<MqttSubscriber*>(self);
      std::lock_guard<std::mutex> guard(s->mutex_);
      s->messages_.push_back(
          {m->topic, std::string(static_cast<const char*>(m->payload), m->payloadlen), m->retain});
    });
    mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
      static_cast<MqttSubscriber*>(self)->subscribed_.store(true);
    });
    filter_ = filter;
    mosquitto_connect_callback_set(client_, [](mosquitto* c, void* self, int rc) {
      if (rc == 0) mosquitto_subscribe(c, nullptr, static_cast<MqttSubscriber*>(self)->filter_.c_str(), 0);
    });
    ok_ = mosquitto_connect(client_, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS &&
          mosquitto_loop_start(client_) == MOSQ_ERR_SUCCESS;
  }
  ~MqttSubscriber() {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, true);
    mosquitto_destroy(client_);
  }
  // True once the subscription stands.
  bool WaitSubscribed(std::chrono::milliseconds timeout) {
    return WaitFor([this] { return subscribed_.load(); }, timeout);
  }
  std::vector<MqttMessage> Messages() {
    std::lock_guard<std::mutex> guard(mutex_);
    return messages_;
  }
  std::vector<std::string> Payloads(const std::string& topic) {
    std::vector<std::string> out;
    for (const auto& m : Messages())
      if (m.topic == topic) out.push_back(m.payload);
    return out;
  }
  bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
  }
  bool Ok() const { return ok_; }

 private:
  mosquitto* client_ = nullptr;
  std::string filter_;
  bool ok_ = false;
  std::atomic<bool> subscribed_{false};
  std::mutex mutex_;
  std::vector<MqttMessage> messages_;
};
