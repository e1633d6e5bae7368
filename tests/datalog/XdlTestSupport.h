// Helpers for the datalog tests: a scratch folder, whole-file reads, a
// little-endian byte builder for hand-made logs, and a callback that collects
// what the datalog engine hands over.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "datalog/DataLogFile.h"
#include "datalog/NullDataLogCallback.h"
#include "definition/ADXObject.h"
#include "tests/support/ResultPrinting.h"

namespace xdltest {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder per test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xdltest-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Appends little-endian values.
class ByteBuilder {
 public:
  ByteBuilder& U8(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  ByteBuilder& U16(std::uint16_t v) {
    return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8));
  }
  ByteBuilder& U32(std::uint32_t v) {
    return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
  }
  ByteBuilder& Raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  ByteBuilder& Text(const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    return *this;
  }
  ByteBuilder& Zeros(std::size_t n) { return Raw(Bytes(n, 0)); }
  std::size_t Size() const { return bytes.size(); }

  Bytes bytes;
};

// A hand-made log: entries and records are written exactly as given.
struct RawEntry {
  std::uint32_t hash;
  std::string id;
  std::uint32_t type;
  std::uint32_t stored;
  std::uint32_t full;
  Bytes mask;
};
struct RawRecord {
  std::uint32_t timeMs;
  std::uint32_t entryIndex;
  Bytes payload;
};

// Header fields that tests may want to spoil; 0 for dataOffset/endOffset
// means "compute".
struct RawLogOptions {
  std::uint32_t version = 3;
  std::uint32_t endOffset = 0;
  std::uint32_t recordCount = 0xFFFFFFFFu;  // all records
  std::uint32_t dataOffset = 0;
};

inline Bytes BuildLog(const std::vector<RawEntry>& entries, const std::vector<RawRecord>& records,
                      const RawLogOptions& options = {}) {
  ByteBuilder table;
  table.U32(static_cast<std::uint32_t>(entries.size()));
  for (const RawEntry& e : entries) {
    table.U32(e.hash).Text(e.id, 16).U32(e.type).U32(e.stored).U32(e.full);
    table.U8(static_cast<std::uint8_t>(e.mask.size())).Raw(e.mask);
  }
  const std::uint32_t dataOffset =
      options.dataOffset ? options.dataOffset : 40 + static_cast<std::uint32_t>(table.Size());
  ByteBuilder data;
  std::uint32_t at = 40 + static_cast<std::uint32_t>(table.Size());
  for (const RawRecord& r : records) {
    std::uint32_t next = at + 12 + static_cast<std::uint32_t>(r.payload.size());
    data.U32(next).U32(r.timeMs).U32(r.entryIndex).Raw(r.payload);
    at = next;
  }
  ByteBuilder log;
  log.U32(options.version).U32(dataOffset).U32(options.endOffset ? options.endOffset : at + 1);
  log.U16(2026).U16(12).U16(2).U16(8).U16(1).U16(2).U16(3).U16(4);  // start time
  log.Zeros(8).U32(options.recordCount == 0xFFFFFFFFu ? static_cast<std::uint32_t>(records.size())
                                                      : options.recordCount);
  log.Raw(table.bytes).Raw(data.bytes);
  return log.bytes;
}

inline Bytes AllOnes(std::size_t n) {
  return Bytes(n, 0xFF);
}

// One notification from the datalog engine.
struct Event {
  enum Kind { kSend, kListen160, kEnded, kSeekBegin, kSeekEnd, kProgress };
  explicit Event(Kind k) : kind(k) {}
  Kind kind;
  std::int32_t source = 0;
  std::uint32_t hash = 0;
  std::int32_t sampleIndex = 0;
  std::uint32_t commandType = 0;
  Bytes data;
  std::uint32_t timeMs = 0;
  std::chrono::steady_clock::time_point when;
};

// Collects notifications from any thread.
class CollectingCallback : public NullDataLogCallback {
 public:
  std::int32_t seekBeginResult = 0;

  std::vector<Event> Events() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return events_;
  }
  std::vector<Event> Packets() const {
    std::vector<Event> out;
    for (const Event& e : Events())
      if (e.kind == Event::kSend || e.kind == Event::kListen160) out.push_back(e);
    return out;
  }
  int Count(Event::Kind kind) const {
    int n = 0;
    for (const Event& e : Events()) n += e.kind == kind;
    return n;
  }
  // Waits until at least n packets arrived; false on time-out.
  bool WaitForPackets(std::size_t n, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> guard(mutex_);
    return changed_.wait_for(guard, limit, [&] { return packets_ >= n; });
  }
  void Clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    events_.clear();
    packets_ = 0;
  }

  std::int32_t OnSendCommandEnd(const DAEStatusRecord* r, const std::uint8_t* reply,
                                std::uint32_t count) override {
    return Packet(Event::kSend, r, reply, count);
  }
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord* r, const std::uint8_t* packet,
                                  std::uint32_t count) override {
    return Packet(Event::kListen160, r, packet, count);
  }
  std::int32_t OnPlaybackEnded() override {
    Add(Event(Event::kEnded));
    return 0;
  }
  std::int32_t OnSeekBegin(std::int32_t target, std::uint32_t) override {
    Event e(Event::kSeekBegin);
    e.sampleIndex = target;
    Add(e);
    return seekBeginResult;
  }
  std::int32_t OnSeekEnd() override {
    Add(Event(Event::kSeekEnd));
    return 0;
  }
  std::int32_t OnPlaybackProgress(std::uint32_t timeMs, std::int32_t sampleIndex) override {
    Event e(Event::kProgress);
    e.timeMs = timeMs;
    e.sampleIndex = sampleIndex;
    Add(e);
    return 0;
  }

 private:
  std::int32_t Packet(Event::Kind kind, const DAEStatusRecord* r, const std::uint8_t* data,
                      std::uint32_t count) {
    Event e(kind);
    e.source = r->source;
    e.hash = r->commandIdHash;
    e.sampleIndex = r->sampleIndex;
    e.commandType = r->command != nullptr ? r->command->objectType : 0;
    e.data.assign(data, data + count);  // reads every byte: ASan checks the bounds
    std::lock_guard<std::mutex> guard(mutex_);
    e.when = std::chrono::steady_clock::now();
    events_.push_back(std::move(e));
    ++packets_;
    changed_.notify_all();
    return 0;
  }
  void Add(Event e) {
    std::lock_guard<std::mutex> guard(mutex_);
    e.when = std::chrono::steady_clock::now();
    events_.push_back(std::move(e));
    changed_.notify_all();
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
  std::size_t packets_ = 0;
};

// Waits for the playback thread to finish by itself; false on time-out.
inline bool WaitForPlaybackEnd(DataLogFile& log, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (log.IsPlaybackThreadRunning()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  log.WaitForPlaybackThread();
  return true;
}

}  // namespace xdltest
