#include "app/window/OutputLog.h"
#include "controls/common/TextBytes.h"

#include <QFontDatabase>
#include <QScrollBar>

OutputLog::OutputLog(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(9);
  setFont(font);
  setObjectName(QStringLiteral("Output"));
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
  appendPlainText(text);
  bar->setValue(bar->maximum());
}

QStringList OutputLog::Lines() {
  FlushPending();
  const QString text = toPlainText();
  if (text.isEmpty()) return {};
  return text.split(QLatin1Char('\n'));
}
