// Writes the sample logs of the repository with the datalog recorder itself:
// the demo log in examples/logs and the seed logs of the reader fuzz target.
//
//   datalog_sample_logs <examples/logs> <fuzz corpus> [--realtime]
//
// With --realtime the demo log is recorded at its real pace (10 packets a
// second for 30 seconds); otherwise the packets follow each other at once.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "datalog/DataLogFile.h"
#include "definition/IdHash.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

XdlEntry Entry(const char* id, std::uint32_t type, std::uint32_t size) {
  XdlEntry e;
  e.SetIdText(id);
  e.commandIdHash = IdHash(id);
  e.commandType = type;
  e.storedSize = size;
  e.fullSize = size;
  e.mask = XdlMask::AllSet(120);
  return e;
}

bool Check(XdlResult code, const char* what) {
  if (code != XDL_OK) std::fprintf(stderr, "%s failed with %d\n", what, static_cast<int>(code));
  return code == XDL_OK;
}

// One 67-byte data reply of the demo ECU at time t seconds.
Bytes DemoReply(double t) {
  const double pi = 3.14159265358979;
  auto wave = [&](double lo, double hi, double period) {
    return static_cast<std::uint8_t>(
        std::lround(lo + (hi - lo) * (0.5 + 0.5 * std::sin(2 * pi * t / period))));
  };
  Bytes r(67, 0);
  r[0] = 0xF4;
  r[1] = 0x92;
  r[2] = 0x01;
  r[3] = 0x12;
  r[4] = 0x34;
  r[5] = 0x03;                                                 // running, closed loop
  r[7] = wave(120, 176, 240);                                  // coolant
  r[8] = wave(70, 100, 60);                                    // intake air
  r[9] = wave(25, 180, 10);                                    // throttle
  r[10] = wave(32, 180, 10);                                   // engine speed
  r[11] = wave(60, 200, 10);                                   // manifold pressure
  r[12] = wave(22, 200, 1.2);                                  // O2
  r[13] = static_cast<std::uint8_t>(200 - wave(40, 160, 10));  // spark, opposite to throttle
  r[14] = wave(20, 60, 30);                                    // idle air
  r[15] = wave(136, 144, 20);                                  // battery
  r[16] = wave(0, 110, 90);                                    // vehicle speed
  r[17] = wave(118, 138, 45);                                  // block learn
  r[18] = wave(120, 136, 3);                                   // integrator
  std::uint16_t pulse = static_cast<std::uint16_t>(2500 + 6500 * (0.5 + 0.5 * std::sin(2 * pi * t / 10)));
  r[19] = static_cast<std::uint8_t>(pulse >> 8);
  r[20] = static_cast<std::uint8_t>(pulse);
  std::uint16_t runTime = static_cast<std::uint16_t>(t);
  r[21] = static_cast<std::uint8_t>(runTime >> 8);
  r[22] = static_cast<std::uint8_t>(runTime);
  r[23] = static_cast<std::uint8_t>(t / 4);
  r[24] = wave(0, 128, 12);
  r[25] = 225;
  r[27] = 64;
  unsigned sum = 0;
  for (int i = 0; i < 66; ++i) sum += r[i];
  r[66] = static_cast<std::uint8_t>(256 - sum % 256);
  return r;
}

bool WriteDemoLog(const std::string& path, bool realtime) {
  DataLogFile log;
  if (!Check(log.Open(path.c_str(), false), "open demo log")) return false;
  if (!Check(log.AddEntry(Entry("DATA", 0x20000, 67)), "add entry")) return false;
  if (!Check(log.StartRecording(), "start recording")) return false;
  const int count = 300;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    if (realtime) std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * i));
    Bytes reply = DemoReply(i * 0.1);
    if (!Check(log.RecordPacket(IdHash("DATA"), reply.data(), 67), "record")) return false;
  }
  return Check(log.StopRecording(), "stop recording") && log.Close() != 0;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A small recording of a send command and a 160-baud listen, with an optional
// masked third entry. When cutCopy is given, the file is copied before the
// recording stops, as a crash would leave it.
bool WriteMixedLog(const std::string& path, bool masked, const std::string& cutCopy = "") {
  DataLogFile log;
  if (!Check(log.Open(path.c_str(), false), "open mixed log")) return false;
  if (!Check(log.AddEntry(Entry("SEND8", 0x20000, 8)), "add entry")) return false;
  if (!Check(log.AddEntry(Entry("SLOW25", 0x100000, 25)), "add entry")) return false;
  if (masked) {
    XdlEntry e = Entry("MASKED", 0x20000, 0);
    e.fullSize = 20;
    e.mask = XdlMask::AllSet(20);
    for (std::uint32_t bit : {1u, 2u, 5u, 11u, 12u, 13u}) e.mask.SetBit(bit, false);
    e.storedSize = 14;
    if (!Check(log.AddEntry(e), "add entry")) return false;
    XdlEntry plain = Entry("PLAIN", 0x100000, 5);
    plain.mask = XdlMask();
    if (!Check(log.AddEntry(plain), "add entry")) return false;
  }
  if (!Check(log.StartRecording(), "start recording")) return false;
  for (std::uint8_t i = 0; i < 12; ++i) {
    Bytes packet(25);
    for (std::size_t k = 0; k < packet.size(); ++k) packet[k] = static_cast<std::uint8_t>(i * 16 + k);
    const char* id = (i % 3 == 0) ? "SLOW25" : (masked && i % 3 == 1) ? "MASKED" : "SEND8";
    if (masked && i % 4 == 3) id = "PLAIN";
    if (!Check(log.RecordPacket(IdHash(id), packet.data(), static_cast<std::uint32_t>(packet.size())),
               "record"))
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  if (!cutCopy.empty()) WriteFile(cutCopy, ReadFile(path));
  return Check(log.StopRecording(), "stop recording") && log.Close() != 0;
}

bool WriteEmptyLog(const std::string& path) {
  DataLogFile log;
  if (!Check(log.Open(path.c_str(), false), "open empty log")) return false;
  if (!Check(log.AddEntry(Entry("ONLY", 0x20000, 10)), "add entry")) return false;
  return Check(log.StartRecording(), "start") && Check(log.StopRecording(), "stop") && log.Close() != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <examples/logs> <fuzz corpus> [--realtime]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path examples = argv[1];
  const std::filesystem::path corpus = argv[2];
  const bool realtime = argc > 3 && std::strcmp(argv[3], "--realtime") == 0;
  std::filesystem::create_directories(examples);
  std::filesystem::create_directories(corpus);

  bool ok = WriteDemoLog((examples / "demo-ecu-drive.xdl").string(), realtime);
  ok = ok && WriteMixedLog((corpus / "mixed.xdl").string(), false);
  ok = ok && WriteMixedLog((corpus / "masked.xdl").string(), true, (corpus / "crash-cut.xdl").string());
  ok = ok && WriteEmptyLog((corpus / "empty.xdl").string());
  if (!ok) return 1;

  // Damaged variants of the masked log.
  Bytes masked = ReadFile((corpus / "masked.xdl").string());
  Bytes crash = ReadFile((corpus / "crash-cut.xdl").string());
  crash.resize(crash.size() - 5);
  WriteFile((corpus / "crash-cut-partial.xdl").string(), crash);
  Bytes version = masked;
  version[0] = 2;
  WriteFile((corpus / "version2.xdl").string(), version);
  Bytes badIndex = masked;
  const std::uint32_t dataOffset = XdlGetU32(&masked[4]);
  XdlPutU32(&badIndex[dataOffset + 8], 40);  // first record names entry 40
  WriteFile((corpus / "bad-index.xdl").string(), badIndex);
  return 0;
}
