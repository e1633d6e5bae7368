// How the acquisition side asks the recording and playback control to stop a
// log that reached its end, without depending on it.
//
// Thread contract: StopFromPlaybackEnd runs on the playback thread; it must
// only start the stop (the control thread waits for the playback thread).
#pragma once

class ILogStopper {
 public:
  virtual ~ILogStopper() = default;
  virtual void StopFromPlaybackEnd() = 0;
};
