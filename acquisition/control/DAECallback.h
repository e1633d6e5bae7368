// The program's answer to every notification of the command engine and the
// datalog engine: logs each command's outcome, turns a good reply or 160-baud
// packet into application data (decoded into the definition, recorded while a
// log records, kept as the last packet, counted for the rate, shown in the
// panes) and follows playback on the monitors and the position slider.
// Replayed packets (status record source 1) take the same road as live ones.
//
// Thread contract: live notifications run on the acquisition thread, replayed
// ones and the playback notifications on the playback thread, the seek
// notifications on the thread that seeks. It keeps no data of its own: it
// works on the AcquisitionControl's atomics, the definition's atomic raw
// values, the DataLogFile (which locks itself) and the display interface.
#pragma once

#include <cstdint>

#include "datalog/DataLogCallback.h"

class AcquisitionControl;
class ADXObject;

class DAECallback : public IDataLogCallback {
 public:
  explicit DAECallback(AcquisitionControl& control) : control_(control) {}

  std::int32_t OnDataWritten(const DAEStatusRecord* record, const std::uint8_t* data,
                             std::uint32_t count) override;
  std::int32_t OnDataRead(const DAEStatusRecord* record, const std::uint8_t* data,
                          std::uint32_t count) override;
  std::int32_t OnListenSilenceBegin(const DAEStatusRecord* record) override;
  std::int32_t OnListenSilenceEnd(const DAEStatusRecord* record) override;
  std::int32_t OnListenChatterBegin(const DAEStatusRecord* record) override;
  std::int32_t OnListenChatterEnd(const DAEStatusRecord* record) override;
  std::int32_t OnSendCommandBegin(const DAEStatusRecord* record) override;
  std::int32_t OnSendCommandEnd(const DAEStatusRecord* record, const std::uint8_t* reply,
                                std::uint32_t count) override;
  std::int32_t OnMacroBegin(const DAEStatusRecord* record) override;
  std::int32_t OnMacroEnd(const DAEStatusRecord* record) override;
  std::int32_t OnListen160BaudBegin(const DAEStatusRecord* record) override;
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord* record, const std::uint8_t* packet,
                                  std::uint32_t count) override;
  std::int32_t OnTrigger(const DAEStatusRecord* record) override;

  std::int32_t OnPlaybackEnded() override;
  std::int32_t OnSeekBegin(std::int32_t targetSample, std::uint32_t seekFlags) override;
  std::int32_t OnSeekEnd() override;
  std::int32_t OnPlaybackProgress(std::uint32_t timeMs, std::int32_t sampleIndex) override;

 private:
  // The command and packet time of a notification. A replayed record takes
  // the definition's own command (found by its hash, of the expected type) and
  // the log's record time; null when the definition has no such command.
  ADXObject* ResolveCommand(const DAEStatusRecord* record, std::uint32_t type, double* time) const;
  void UpdatePanes(double time, const std::uint8_t* packet, std::size_t length, std::uint32_t commandIdHash);
  void MarkConnected();
  // Records a good packet while a log records; a failed write ends the
  // recording and starts its report.
  void Record(std::uint32_t commandIdHash, const std::uint8_t* data, std::uint32_t count);

  AcquisitionControl& control_;
};
