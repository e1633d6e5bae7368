// The three notices that the control thread sends to the program when it has
// done its work, in this order: acquisition ended, datalog ended, close.
//
// Thread contract: called on the control thread (PortOpenFailed: on the
// acquisition thread). The main window posts each
// notice to the user-interface thread as a queued call, keeping the order;
// the command-line tool handles them where they arrive.
#pragma once

#include <string>

class IAppMessages {
 public:
  virtual ~IAppMessages() = default;
  // Acquisition has stopped (the port is closed).
  virtual void AcquisitionEnded() = 0;
  // The datalog has stopped: recording stopped or playback ended and its
  // thread joined. The handler is LoggerControl::OnDatalogStopped.
  virtual void DatalogEnded() = 0;
  // The main window may be destroyed.
  virtual void CloseWindow() = 0;
  // The connection could not open its port; text gives the system's reason
  // (already in the Output log). Called on the acquisition thread; the window
  // shows it in a dialog.
  virtual void PortOpenFailed(const std::string& text) { (void)text; }
};
