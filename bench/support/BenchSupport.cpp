#include "bench/support/BenchSupport.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "datalog/DataLogFile.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXObject.h"
#include "definition/ADXValue.h"

bool WriteSyntheticLog(const std::string& xdl, std::uint32_t hash, std::uint32_t count, int packetSize,
                       bool drift) {
  DataLogFile log;
  if (log.Open(xdl.c_str(), false) != XDL_OK) return false;
  XdlEntry entry;
  entry.commandIdHash = hash;
  entry.SetIdText("DATA");
  entry.commandType = ADX_TYPE_SENDCOMMAND;
  entry.storedSize = entry.fullSize = static_cast<std::uint32_t>(packetSize);
  entry.mask = XdlMask::AllSet(120);
  if (log.AddEntry(entry) != XDL_OK || log.StartRecording() != XDL_OK) return false;
  std::vector<std::uint8_t> packet(static_cast<std::size_t>(packetSize));
  for (std::uint32_t r = 0; r < count; ++r) {
    for (int i = 0; i < packetSize; ++i)
      packet[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(r * 7 + i * 13 + (drift ? r >> 10 : 0));
    if (log.RecordPacket(hash, packet.data(), static_cast<std::uint32_t>(packet.size())) != XDL_OK)
      return false;
  }
  return log.StopRecording() == XDL_OK && log.Close() != 0;
}

std::uint32_t AddSyntheticItems(ADXDefinition& def, int items, int packetSize, bool monitor, bool texts,
                                bool mixedOutputs, std::vector<ADXValue*>* values) {
  auto data = std::make_unique<ADXCSendCommand>();
  data->SetId("DATA");
  data->flags = kSendReadReply;
  data->replysize = packetSize;
  data->packetsize = packetSize;
  const std::uint32_t hash = data->idhash;
  if (monitor) def.monitorcmd = data.get();
  def.Append(std::move(data));
  for (int i = 0; i < items; ++i) {
    const std::string id = "ITEM" + std::to_string(i);
    if (i % 5 == 4) {
      auto b = std::make_unique<ADXBitmask>();
      b->SetId(id.c_str());
      b->packetoffset = static_cast<std::uint32_t>(i % packetSize);
      b->operand = 1u << (i % 8);
      b->result = b->operand;
      b->parentcmdidhash = hash;
      if (texts) {
        b->SetTrueString("ON", 2);
        b->SetFalseString("OFF", 3);
      }
      def.Append(std::move(b));
    } else {
      auto v = std::make_unique<ADXValue>();
      v->SetId(id.c_str());
      const char* eq = i % 2 == 0 ? "X*0.75-40" : "X/2.55";
      v->SetEquation(eq, std::strlen(eq));
      v->packetoffset = static_cast<std::uint32_t>(i % (packetSize - 1));
      v->sizeinbits = i % 3 == 0 ? 16 : 8;
      if (mixedOutputs) v->outputtype = i % 4 == 0 ? kOutputInteger : kOutputFloat;
      v->parentcmdidhash = hash;
      if (values != nullptr) values->push_back(v.get());
      def.Append(std::move(v));
    }
  }
  return hash;
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

Timing BestOfThree(const std::function<bool()>& run) {
  Timing best{1e300, 0.0};
  for (int i = 0; i < 3; ++i) {
    const double cpu = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (!run()) return Timing{};
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (wall < best.wall) best = Timing{wall, ProcessCpuSeconds() - cpu};
  }
  return best;
}
