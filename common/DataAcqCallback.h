// Results, status codes and the notification interface of the command engine.
//
// The engine (DataAcqEngine) reports the start and the end of every command it
// runs to one IDataAcqCallback. Every notification receives the address of the
// engine's DAEStatusRecord and returns a signed 32-bit result; a negative result
// means failure. The datalog engine builds the same record when it replays a
// recorded packet (source 1) and calls the same interface.
//
// Thread contract: the engine calls every notification on the thread that runs
// Execute (the acquisition thread); during playback the datalog engine calls
// them on its own thread. The interface itself holds no data and no lock.
#pragma once

#include <cstdint>

class ADXObject;

// Results of the engine. Negative values are failures.
inline constexpr std::int32_t E_FAIL = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t E_OUTOFMEMORY = static_cast<std::int32_t>(0x8007000Eu);

// Outcome of one command, carried by DAEStatusRecord. Codes 3 and 9 are not
// used.
enum class [[nodiscard]] DaeStatus : std::int32_t{
    Ok = 0,
    BeginRefused = 1,        // 160-baud begin notification refused
    Aborted = 2,             // an abort request was seen
    Timeout = 4,             // chatter not seen / silence not found
    WriteShort = 5,          // fewer bytes written than the byte string holds
    ReadShort = 6,           // echo or reply came back short
    ByteError = 7,           // a 160-baud data word was invalid
    NoSync = 8,              // no 160-baud sync pattern found
    MacroBreakSuccess = 10,  // a break-on-success step succeeded
    MacroBreakFailure = 11,  // a break-on-failure step failed
    SizeLimit = 12,          // reply or packet size beyond kMaxPacketBytes
    BadChecksum = 13,        // the reply's checksum is wrong
};

inline constexpr DaeStatus DAE_OK = DaeStatus::Ok;
inline constexpr DaeStatus DAE_BEGIN_REFUSED = DaeStatus::BeginRefused;
inline constexpr DaeStatus DAE_ABORTED = DaeStatus::Aborted;
inline constexpr DaeStatus DAE_TIMEOUT = DaeStatus::Timeout;
inline constexpr DaeStatus DAE_WRITE_SHORT = DaeStatus::WriteShort;
inline constexpr DaeStatus DAE_READ_SHORT = DaeStatus::ReadShort;
inline constexpr DaeStatus DAE_BYTE_ERROR = DaeStatus::ByteError;
inline constexpr DaeStatus DAE_NO_SYNC = DaeStatus::NoSync;
inline constexpr DaeStatus DAE_MACRO_BREAK_SUCCESS = DaeStatus::MacroBreakSuccess;
inline constexpr DaeStatus DAE_MACRO_BREAK_FAILURE = DaeStatus::MacroBreakFailure;
inline constexpr DaeStatus DAE_SIZE_LIMIT = DaeStatus::SizeLimit;
inline constexpr DaeStatus DAE_BAD_CHECKSUM = DaeStatus::BadChecksum;

// The record passed, by address, to every notification. Its fields keep the
// plain types of the notification interface; the status is read and written
// as a DaeStatus through Status and SetStatus, the one place that converts it.
struct DAEStatusRecord {
  std::int32_t source = 0;          // 0 live on the link, 1 replayed from a log
  ADXObject* command = nullptr;     // the command being run (not owned)
  std::uint32_t commandIdHash = 0;  // the command's idhash (send and 160-baud listen; replayed records)
  std::int32_t status = 0;          // outcome, the number of a DaeStatus
  std::int32_t sampleIndex = 0;     // replayed record's sample index; 0 for live commands

  DaeStatus Status() const { return static_cast<DaeStatus>(status); }
  void SetStatus(DaeStatus outcome) { status = static_cast<std::int32_t>(outcome); }
};

// Notifications of the command engine, in slot order. Buffers passed to
// OnSendCommandEnd and OnListen160BaudEnd belong to the caller and are valid
// only during the call.
class IDataAcqCallback {
 public:
  virtual ~IDataAcqCallback() = default;

  // Not called by the engine; available to other producers of data.
  virtual std::int32_t OnDataWritten(const DAEStatusRecord* record, const std::uint8_t* data,
                                     std::uint32_t count) = 0;
  virtual std::int32_t OnDataRead(const DAEStatusRecord* record, const std::uint8_t* data,
                                  std::uint32_t count) = 0;

  virtual std::int32_t OnListenSilenceBegin(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnListenSilenceEnd(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnListenChatterBegin(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnListenChatterEnd(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnSendCommandBegin(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnSendCommandEnd(const DAEStatusRecord* record, const std::uint8_t* reply,
                                        std::uint32_t count) = 0;
  virtual std::int32_t OnMacroBegin(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnMacroEnd(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnListen160BaudBegin(const DAEStatusRecord* record) = 0;
  virtual std::int32_t OnListen160BaudEnd(const DAEStatusRecord* record, const std::uint8_t* packet,
                                          std::uint32_t count) = 0;
  virtual std::int32_t OnTrigger(const DAEStatusRecord* record) = 0;
};
