#include "app/window/OutputLog.h"
#include "controls/common/TextBytes.h"

#include <QFontDatabase>
#include <QScrollBar>

#include <algorithm>

OutputLog::OutputLog(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(9);
  setFont(font);
  setObjectName(QStringLiteral("Output"));
  // The oldest lines go once the log holds this many.
  setMaximumBlockCount(kMaxLines);
}

void OutputLog::AppendLine(std::string_view line) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    pending_.emplace_back(line);
  }
  Schedule();
}

void OutputLog::Clear() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    pending_.clear();
    clearPending_ = true;
  }
  Schedule();
}

void OutputLog::Schedule() {
  if (scheduled_.exchange(true, std::memory_order_acq_rel)) return;
  QMetaObject::invokeMethod(
      this, [this] { FlushPending(); }, Qt::QueuedConnection);
}

void OutputLog::FlushPending() {
  std::vector<std::string> lines;
  bool clear = false;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    scheduled_.store(false, std::memory_order_release);
    lines.swap(pending_);
    clear = clearPending_;
    clearPending_ = false;
  }
  if (clear) QPlainTextEdit::clear();
  if (lines.empty()) return;
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) text += QLatin1Char('\n');
    text += TextFromBytes(std::string_view(lines[i].data(), lines[i].size()));
  }
  QScrollBar* bar = verticalScrollBar();
  // Follow the end only when the user is at the end already.
  const bool atEnd = bar->value() >= bar->maximum();
  const int kept = bar->value();
  const int firstLines = blockCount();
  appendPlainText(text);
  if (atEnd) {
    bar->setValue(bar->maximum());
  } else {
    // Lines dropped from the top move the text up: keep the same lines shown.
    const int dropped = std::max(0, firstLines + static_cast<int>(lines.size()) - blockCount());
    bar->setValue(std::max(0, kept - dropped));
  }
}

QStringList OutputLog::Lines() {
  FlushPending();
  const QString text = toPlainText();
  if (text.isEmpty()) return {};
  return text.split(QLatin1Char('\n'));
}
