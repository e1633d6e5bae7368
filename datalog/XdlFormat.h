// The XDL datalog file layout: result codes, states and seek flags of the
// datalog engine, the 40-byte header and the 12-byte record head, with their
// little-endian encoding.
//
// File layout: header (40 bytes) at offset 0; at offset 40 the entry count and
// the entries (see XdlEntry.h); from dataOffset the records, each a record head
// followed by storedSize payload bytes of its entry.
//
// Thread contract: plain values and pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Results of the datalog operations (Ok is success), with their fixed
// numbers; a result becomes an int only where the number is shown (messages).
enum class [[nodiscard]] XdlResult : int{
    Ok = 0,
    Io = 1,            // read/write failed, no memory, thread already runs
    State = 3,         // not allowed in the current state
    NoEntry = 4,       // no entry for the command / entry index out of range
    NoCallback = 6,    // playback without a callback
    EndOfData = 7,     // no more complete records
    BufferSmall = 8,   // caller's buffer smaller than storedSize
    InvalidArg = 9,    // invalid arguments
    SeekFlag = 10,     // seek flag 0x4 is not supported
    SeekRefused = 11,  // the callback refused the seek
    CannotOpen = 12,   // empty name or the system refused the file
    Version = 13,      // file version is not 3
};

// The short names of the results.
inline constexpr XdlResult XDL_OK = XdlResult::Ok;
inline constexpr XdlResult XDL_ERR_IO = XdlResult::Io;
inline constexpr XdlResult XDL_ERR_STATE = XdlResult::State;
inline constexpr XdlResult XDL_ERR_NO_ENTRY = XdlResult::NoEntry;
inline constexpr XdlResult XDL_ERR_NO_CALLBACK = XdlResult::NoCallback;
inline constexpr XdlResult XDL_END_OF_DATA = XdlResult::EndOfData;
inline constexpr XdlResult XDL_ERR_BUFFER_SMALL = XdlResult::BufferSmall;
inline constexpr XdlResult XDL_ERR_INVALID_ARG = XdlResult::InvalidArg;
inline constexpr XdlResult XDL_ERR_SEEK_FLAG = XdlResult::SeekFlag;
inline constexpr XdlResult XDL_ERR_SEEK_REFUSED = XdlResult::SeekRefused;
inline constexpr XdlResult XDL_ERR_CANNOT_OPEN = XdlResult::CannotOpen;
inline constexpr XdlResult XDL_ERR_VERSION = XdlResult::Version;

// States of a DataLogFile. They live only in memory (the file keeps no
// state).
enum class XdlState : std::int32_t {
  Closed = 0,
  Ready = 1,       // open, ready to play
  OpenRecord = 2,  // open for recording, not started
  Playing = 3,
  Recording = 4,
  StopRequested = 5,  // playback asked to stop
};

inline constexpr XdlState XDL_STATE_CLOSED = XdlState::Closed;
inline constexpr XdlState XDL_STATE_READY = XdlState::Ready;
inline constexpr XdlState XDL_STATE_OPEN_RECORD = XdlState::OpenRecord;
inline constexpr XdlState XDL_STATE_PLAYING = XdlState::Playing;
inline constexpr XdlState XDL_STATE_RECORDING = XdlState::Recording;
inline constexpr XdlState XDL_STATE_STOP_REQUESTED = XdlState::StopRequested;

// Seek flags.
inline constexpr std::uint32_t XDL_SEEK_FROM_START = 0x1;
inline constexpr std::uint32_t XDL_SEEK_UNSUPPORTED = 0x4;
inline constexpr std::uint32_t XDL_SEEK_BY_TIME = 0x200;

inline constexpr std::uint32_t kXdlVersion = 3;
inline constexpr std::size_t kXdlHeaderSize = 40;
inline constexpr std::size_t kXdlRecordHeadSize = 12;
inline constexpr std::uint32_t kXdlOpenEnd = 0xFFFFFFFFu;  // endOffset while recording

// Local date and time, eight unsigned 16-bit values.
struct XdlTimeStamp {
  std::uint16_t year = 0;
  std::uint16_t month = 0;      // 1..12
  std::uint16_t dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t millisecond = 0;
};

struct XdlHeader {
  std::uint32_t version = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t endOffset = 0;
  XdlTimeStamp startTime;
  std::uint8_t reserved[8] = {};
  std::uint32_t recordCount = 0;
};

struct XdlRecordHead {
  std::uint32_t nextOffset = 0;
  std::uint32_t timeMs = 0;
  std::uint32_t entryIndex = 0;
};

// Little-endian helpers.
inline void XdlPutU16(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void XdlPutU32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline std::uint16_t XdlGetU16(const std::uint8_t* in) {
  return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}
inline std::uint32_t XdlGetU32(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
         (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

void EncodeXdlHeader(const XdlHeader& header, std::uint8_t out[kXdlHeaderSize]);
XdlHeader DecodeXdlHeader(const std::uint8_t in[kXdlHeaderSize]);
void EncodeXdlRecordHead(const XdlRecordHead& head, std::uint8_t out[kXdlRecordHeadSize]);
XdlRecordHead DecodeXdlRecordHead(const std::uint8_t in[kXdlRecordHeadSize]);

// Milliseconds from seconds, to the nearest millisecond with halves going up;
// negative or not-a-number times give 0 and times beyond the 32-bit range the
// largest value.
std::uint32_t XdlMillisecondsFromSeconds(double seconds);
