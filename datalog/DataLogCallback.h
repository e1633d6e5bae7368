// Notifications of the datalog engine.
//
// IDataLogCallback extends the command engine's notifications with four
// operations that only the datalog engine calls. During playback the engine
// hands every replayed packet to OnSendCommandEnd or OnListen160BaudEnd with a
// status record whose source is 1, so the application treats replayed and live
// packets alike.
//
// Thread contract: OnPlaybackEnded and OnPlaybackProgress (and the replayed
// packet notifications) run on the playback thread. OnSeekBegin and OnSeekEnd
// run on the thread that calls DataLogFile::Seek (normally the user-interface
// thread). An implementation must not wait inside a notification for a thread
// that is itself waiting for playback to end.
#pragma once

#include <cstdint>

#include "common/DataAcqCallback.h"

class IDataLogCallback : public IDataAcqCallback {
 public:
  // The playback thread reached the end of the log (not called when playback
  // stopped on request or on a read error).
  virtual std::int32_t OnPlaybackEnded() = 0;
  // Before a seek; a negative result refuses it.
  virtual std::int32_t OnSeekBegin(std::int32_t targetSample, std::uint32_t seekFlags) = 0;
  // After every seek attempt, refused or not.
  virtual std::int32_t OnSeekEnd() = 0;
  // After every replayed record: its time in ms and the sample index reached.
  virtual std::int32_t OnPlaybackProgress(std::uint32_t timeMs, std::int32_t sampleIndex) = 0;
};
