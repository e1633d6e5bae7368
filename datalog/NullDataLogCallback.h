#pragma once
// A datalog callback that ignores every notification and allows every seek.
// Tools, benchmarks and fuzz targets derive from it and override only the
// notifications they care about.
// Thread contract: as IDataLogCallback; it holds no state of its own.
#include "datalog/DataLogCallback.h"

class NullDataLogCallback : public IDataLogCallback {
 public:
  std::int32_t OnDataWritten(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override {
    return 0;
  }
  std::int32_t OnDataRead(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override { return 0; }
  std::int32_t OnListenSilenceBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListenSilenceEnd(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListenChatterBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListenChatterEnd(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnSendCommandBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnSendCommandEnd(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override {
    return 0;
  }
  std::int32_t OnMacroBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnMacroEnd(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListen160BaudBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override {
    return 0;
  }
  std::int32_t OnTrigger(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnPlaybackEnded() override { return 0; }
  std::int32_t OnSeekBegin(std::int32_t, std::uint32_t) override { return 0; }
  std::int32_t OnSeekEnd() override { return 0; }
  std::int32_t OnPlaybackProgress(std::uint32_t, std::int32_t) override { return 0; }
};
