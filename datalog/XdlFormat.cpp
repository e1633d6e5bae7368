#include "datalog/XdlFormat.h"

#include <cmath>

void EncodeXdlHeader(const XdlHeader& header, std::uint8_t out[kXdlHeaderSize]) {
  XdlPutU32(out + 0, header.version);
  XdlPutU32(out + 4, header.dataOffset);
  XdlPutU32(out + 8, header.endOffset);
  const XdlTimeStamp& t = header.startTime;
  const std::uint16_t parts[8] = {t.year, t.month,  t.dayOfWeek, t.day,
                                  t.hour, t.minute, t.second,    t.millisecond};
  for (int i = 0; i < 8; ++i) XdlPutU16(out + 12 + 2 * i, parts[i]);
  for (int i = 0; i < 8; ++i) out[28 + i] = header.reserved[i];
  XdlPutU32(out + 36, header.recordCount);
}

XdlHeader DecodeXdlHeader(const std::uint8_t in[kXdlHeaderSize]) {
  XdlHeader header;
  header.version = XdlGetU32(in + 0);
  header.dataOffset = XdlGetU32(in + 4);
  header.endOffset = XdlGetU32(in + 8);
  XdlTimeStamp& t = header.startTime;
  std::uint16_t* parts[8] = {&t.year, &t.month,  &t.dayOfWeek, &t.day,
                             &t.hour, &t.minute, &t.second,    &t.millisecond};
  for (int i = 0; i < 8; ++i) *parts[i] = XdlGetU16(in + 12 + 2 * i);
  for (int i = 0; i < 8; ++i) header.reserved[i] = in[28 + i];
  header.recordCount = XdlGetU32(in + 36);
  return header;
}

void EncodeXdlRecordHead(const XdlRecordHead& head, std::uint8_t out[kXdlRecordHeadSize]) {
  XdlPutU32(out + 0, head.nextOffset);
  XdlPutU32(out + 4, head.timeMs);
  XdlPutU32(out + 8, head.entryIndex);
}

XdlRecordHead DecodeXdlRecordHead(const std::uint8_t in[kXdlRecordHeadSize]) {
  XdlRecordHead head;
  head.nextOffset = XdlGetU32(in + 0);
  head.timeMs = XdlGetU32(in + 4);
  head.entryIndex = XdlGetU32(in + 8);
  return head;
}

std::uint32_t XdlMillisecondsFromSeconds(double seconds) {
  double ms = std::floor(seconds * 1000.0 + 0.5);
  if (!(ms > 0.0)) return 0;  // also catches NaN
  if (ms >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(ms);
}
