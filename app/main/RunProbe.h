// What --verbose reports about the running program on stderr: the time from
// the process start to the window's first painted frame, and then at a
// steady period the resident memory, the open file descriptors and the
// longest stall of the event loop since the previous report.
//
// The stall is measured with a precise 10 ms timer on the user-interface
// thread: a tick that comes late by more than its period means the loop was
// busy (or blocked) for that long.
//
// Thread contract: created, used and destroyed on the user-interface thread.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>

class QWidget;

struct ProcessFigures {
  long residentKb = -1;  // -1: unknown
  int openFiles = -1;
};

// The process's resident memory and open descriptors from /proc.
ProcessFigures ReadProcessFigures();
// Milliseconds since the process was started (exec), from the kernel's
// record of the start (10 ms steps); negative when unknown.
double MillisecondsSinceProcessStart();
// Milliseconds with one decimal, whatever the locale ("12.5").
std::string MillisecondText(double ms);

class RunProbe : public QObject {
  Q_OBJECT

 public:
  // mainEntered: when main() began. Reports every periodSeconds (at least 1).
  RunProbe(QWidget* window, std::chrono::steady_clock::time_point mainEntered, int periodSeconds,
           std::FILE* out = stderr);
  ~RunProbe() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FirstFramePainted();
  void Tick();
  void Report(const char* what);

  QWidget* window_;
  std::chrono::steady_clock::time_point mainEntered_;
  std::FILE* out_;
  bool painted_ = false;
  QTimer tick_;
  QTimer report_;
  QElapsedTimer sinceTick_;
  QElapsedTimer running_;
  double longestStall_ = 0.0;  // since the previous report
  double longestOverall_ = 0.0;
};
