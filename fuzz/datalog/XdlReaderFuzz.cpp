// Opens arbitrary bytes as an XDL log and reads it every way the program does:
// record by record with expansion, seeking by index and by time, and a full
// playback without pacing whose callback touches every byte it is given.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "datalog/DataLogFile.h"
#include "datalog/NullDataLogCallback.h"

namespace {

class TouchingCallback : public NullDataLogCallback {
 public:
  std::int32_t OnSendCommandEnd(const DAEStatusRecord* r, const std::uint8_t* data,
                                std::uint32_t count) override {
    return Touch(r, data, count);
  }
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord* r, const std::uint8_t* data,
                                  std::uint32_t count) override {
    return Touch(r, data, count);
  }

  unsigned sum = 0;

 private:
  std::int32_t Touch(const DAEStatusRecord* r, const std::uint8_t* data, std::uint32_t count) {
    if (r->source != 1) __builtin_trap();
    for (std::uint32_t i = 0; i < count; ++i) sum += data[i];
    return 0;
  }
};

const std::string& ScratchPath() {
  static const std::string path = "/tmp/xdl-fuzz-" + std::to_string(::getpid()) + ".xdl";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchPath();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);

  TouchingCallback callback;
  DataLogFile log;
  log.SetCallback(&callback);
  if (log.Open(path.c_str(), true) == XDL_OK) {
    // Record by record, expanding each payload as playback does.
    std::vector<std::uint8_t> payload(kXdlMaxPacketSize);
    std::vector<std::uint8_t> packet(kXdlMaxPacketSize);
    for (int guard = 0; guard < 100000; ++guard) {
      XdlRecordHead head;
      const XdlEntry* entry = nullptr;
      XdlResult code =
          log.ReadRecord(&head, payload.data(), static_cast<std::uint32_t>(payload.size()), &entry);
      if (code == XDL_ERR_NO_ENTRY) continue;
      if (code != XDL_OK) break;
      XdlExpandPayload(*entry, payload.data(), entry->storedSize, packet.data(), entry->fullSize);
    }
    const std::uint32_t count = log.RecordCount();
    // Any result will do on damaged input; only a crash or a hang is a fault.
    (void)log.Seek(static_cast<std::int32_t>(count / 2), XDL_SEEK_FROM_START);
    (void)log.Seek(static_cast<std::int32_t>(log.CurrentTime() / 2 + 1),
                   XDL_SEEK_FROM_START | XDL_SEEK_BY_TIME);
    (void)log.Seek(0, XDL_SEEK_FROM_START);
    // A whole playback without pacing.
    log.SetSpeed(0.0f);
    if (log.StartPlayback() == XDL_OK) log.WaitForPlaybackThread();
    log.Close();
  }
  std::remove(path.c_str());
  return 0;
}
