// The "Output" tab: a read-only multi-line text that follows its end, and the
// text sink that the program's log writes into. It keeps the newest
// kMaxLines lines, and while the user has scrolled up it stays where the user
// put it; scrolling back to the end follows new lines again.
//
// Lines come from every thread. They are kept under a mutex and shown on the
// GUI thread by one queued call per batch, so a busy link costs one text
// update per turn of the event loop, and a Clear empties whatever was not
// yet shown, in order with the lines around it.
//
// Thread contract: AppendLine and Clear from any thread; everything else on
// the GUI thread. mutex_ guards pending_ and clearPending_.
#pragma once

#include <QPlainTextEdit>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "acquisition/TextSink.h"

class OutputLog : public QPlainTextEdit, public ITextSink {
  Q_OBJECT

 public:
  static constexpr int kMaxLines = 5000;

  explicit OutputLog(QWidget* parent = nullptr);

  void AppendLine(std::string_view line) override;
  void Clear() override;

  // GUI thread: shows every line handed over so far.
  void FlushPending();
  // GUI thread: the lines shown, after a flush.
  QStringList Lines();

 private:
  void Schedule();

  std::mutex mutex_;
  std::vector<std::string> pending_;
  bool clearPending_ = false;
  std::atomic<bool> scheduled_{false};
};
