#pragma once
// A progress indicator that the ADX loader and saver report to. The core only
// knows this interface; the program binds it to its status-bar progress
// control, tools bind it to nothing or to a text counter.
//
// Thread contract: called on the thread that loads or saves, and only during
// that call.

class IProgress {
 public:
  // The range of positions, low to high.
  virtual void SetRange(int low, int high) = 0;
  // Advances the position by one step.
  virtual void Step() = 0;
  virtual void SetPos(int position) = 0;

 protected:
  IProgress() = default;
  IProgress(const IProgress&) = default;
  IProgress& operator=(const IProgress&) = default;
  ~IProgress() = default;
};
