#include "telemetry/MqttPublisher.h"

#include <mosquitto.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <mutex>

namespace {

using namespace std::chrono_literals;

constexpr int kKeepAliveSeconds = 10;
constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";

std::once_flag g_libraryInit;

std::string SystemText(int error) {
  const char* text = ::strerrordesc_np(error);
  return text != nullptr ? text : "error " + std::to_string(error);
}

// Sleeps up to `duration`, waking early when stop is set.
void SleepUnlessStopped(const std::atomic<bool>& stop, std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (!stop.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(10ms);
}

// The publisher thread's view of the client, reached from the callbacks.
struct ClientState {
  std::atomic<bool>* connected = nullptr;
  std::function<void(const std::string&)> note;
  std::string statusTopic;
  std::string where;
  bool announced = false;  // "connected" was said; a loss is said once
  int offlineMid = -1;
  bool offlineAcked = false;
  bool refusedNoted = false;
};

extern "C" void OnConnect(mosquitto* client, void* user, int rc) {
  auto* state = static_cast<ClientState*>(user);
  if (rc != 0) {
    if (!state->refusedNoted && state->note)
      state->note("telemetry: " + state->where + " refused the connection: " + mosquitto_connack_string(rc));
    state->refusedNoted = true;
    return;
  }
  state->refusedNoted = false;
  mosquitto_publish(client, nullptr, state->statusTopic.c_str(), sizeof kOnline - 1, kOnline, 1, true);
  state->connected->store(true, std::memory_order_release);
  state->announced = true;
  if (state->note) state->note("telemetry: connected to " + state->where);
}

extern "C" void OnDisconnect(mosquitto*, void* user, int rc) {
  auto* state = static_cast<ClientState*>(user);
  state->connected->store(false, std::memory_order_release);
  // rc 0: our own disconnect at the end.
  if (state->announced && rc != 0 && state->note) state->note("telemetry: lost " + state->where);
  state->announced = false;
}

extern "C" void OnPublish(mosquitto*, void* user, int mid) {
  auto* state = static_cast<ClientState*>(user);
  if (mid == state->offlineMid) state->offlineAcked = true;
}

}  // namespace

bool ParseMqttAddress(const std::string& text, MqttAddress* address) {
  const std::size_t colon = text.rfind(':');
  MqttAddress result;
  if (colon == std::string::npos || text.find(':') != colon) {
    result.host = text;  // a name, or an IPv6 address without a port
  } else {
    result.host = text.substr(0, colon);
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    int port = 0;
    const auto [end, error] = std::from_chars(first, last, port);
    if (error != std::errc() || end != last || first == last || port < 1 || port > 65535) return false;
    result.port = port;
  }
  if (result.host.empty()) return false;
  for (const char c : result.host)
    if (c == ' ' || c == '/' || static_cast<unsigned char>(c) < 0x21) return false;
  *address = result;
  return true;
}

MqttPublisher::MqttPublisher(MqttPublisherOptions options)
    : options_(std::move(options)),
      valuesTopic_(options_.topicRoot + "/values"),
      statusTopic_(options_.topicRoot + "/status") {
  if (options_.queueLimit == 0) options_.queueLimit = 1;
}

MqttPublisher::~MqttPublisher() {
  Stop();
}

void MqttPublisher::Start() {
  if (thread_.joinable()) return;
  stop_.store(false, std::memory_order_release);
  thread_ = std::thread([this] { Run(); });
}

void MqttPublisher::Stop() {
  stop_.store(true, std::memory_order_release);
  if (thread_.joinable()) thread_.join();
}

void MqttPublisher::Publish(std::string message) {
  if (!connected_.load(std::memory_order_acquire)) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  std::lock_guard<std::mutex> guard(queueMutex_);
  if (queue_.size() >= options_.queueLimit) {
    // The newest values matter most: the oldest waiting message goes.
    queue_.pop_front();
    dropped_.fetch_add(1, std::memory_order_relaxed);
  }
  queue_.push_back(std::move(message));
}

void MqttPublisher::Note(const std::string& text) {
  if (options_.note) options_.note(text);
}

void MqttPublisher::Run() {
  std::call_once(g_libraryInit, [] { mosquitto_lib_init(); });
  ClientState state;
  state.connected = &connected_;
  state.note = options_.note;
  state.statusTopic = statusTopic_;
  state.where = options_.broker.host + ":" + std::to_string(options_.broker.port);
  mosquitto* client = mosquitto_new(nullptr, true, &state);
  if (client == nullptr) {
    Note("telemetry: cannot create the MQTT client");
    return;
  }
  mosquitto_connect_callback_set(client, OnConnect);
  mosquitto_disconnect_callback_set(client, OnDisconnect);
  mosquitto_publish_callback_set(client, OnPublish);
  mosquitto_will_set(client, statusTopic_.c_str(), sizeof kOffline - 1, kOffline, 1, true);

  bool haveSocket = false;
  bool tried = false;
  bool unreachableNoted = false;
  auto backoff = 100ms;
  // The connection could not be made or was lost: say so once, drop what
  // waits, and try again after a pause that grows to two seconds.
  const auto fail = [&](int rc, int error) {
    haveSocket = false;
    connected_.store(false, std::memory_order_release);
    const std::string why = rc == MOSQ_ERR_ERRNO ? SystemText(error) : mosquitto_strerror(rc);
    if (state.announced) {
      Note("telemetry: lost " + state.where + ": " + why);
      state.announced = false;
    } else if (!unreachableNoted) {
      Note("telemetry: cannot reach " + state.where + ": " + why);
    }
    unreachableNoted = true;
    std::size_t waiting = 0;
    {
      std::lock_guard<std::mutex> guard(queueMutex_);
      waiting = queue_.size();
      queue_.clear();
    }
    dropped_.fetch_add(waiting, std::memory_order_relaxed);
    SleepUnlessStopped(stop_, backoff);
    backoff = std::min<std::chrono::milliseconds>(backoff * 2, 2000ms);
  };
  while (!stop_.load(std::memory_order_acquire)) {
    if (!haveSocket) {
      // Connects without blocking, so that Stop is never held up by a
      // broker that does not answer. The first connect keeps the host and
      // port for the reconnects, also when it fails.
      const int rc = tried ? mosquitto_reconnect_async(client)
                           : mosquitto_connect_async(client, options_.broker.host.c_str(),
                                                     options_.broker.port, kKeepAliveSeconds);
      const int error = errno;
      tried = true;
      if (rc != MOSQ_ERR_SUCCESS) {
        fail(rc, error);
        continue;
      }
      haveSocket = true;
    }
    if (connected_.load(std::memory_order_acquire)) {
      unreachableNoted = false;
      backoff = 100ms;
      // One message at a time into the client: it holds no backlog of its own.
      while (!mosquitto_want_write(client)) {
        std::string message;
        {
          std::lock_guard<std::mutex> guard(queueMutex_);
          if (queue_.empty()) break;
          message = std::move(queue_.front());
          queue_.pop_front();
        }
        if (mosquitto_publish(client, nullptr, valuesTopic_.c_str(), static_cast<int>(message.size()),
                              message.data(), 0, false) != MOSQ_ERR_SUCCESS) {
          dropped_.fetch_add(1, std::memory_order_relaxed);
          break;
        }
        published_.fetch_add(1, std::memory_order_relaxed);
      }
    }
    const int rc = mosquitto_loop(client, 10, 1);
    const int error = errno;
    if (rc != MOSQ_ERR_SUCCESS) fail(rc, error);
  }

  if (connected_.load(std::memory_order_acquire)) {
    // A clean end: "offline" replaces the retained "online", then the
    // disconnect tells the broker not to send the last will.
    mosquitto_publish(client, &state.offlineMid, statusTopic_.c_str(), sizeof kOffline - 1, kOffline, 1,
                      true);
    const auto end = std::chrono::steady_clock::now() + 500ms;
    while (!state.offlineAcked && std::chrono::steady_clock::now() < end) {
      if (mosquitto_loop(client, 10, 1) != MOSQ_ERR_SUCCESS) break;
    }
    mosquitto_disconnect(client);
    mosquitto_loop(client, 10, 1);
  }
  connected_.store(false, std::memory_order_release);
  {
    std::lock_guard<std::mutex> guard(queueMutex_);
    dropped_.fetch_add(queue_.size(), std::memory_order_relaxed);
    queue_.clear();
  }
  mosquitto_destroy(client);
}
