#include "app/window/SingleKeyGuard.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

bool IsSingleKeyShortcut(int key, Qt::KeyboardModifiers modifiers) {
  if ((modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  return key == Qt::Key_Space || key == Qt::Key_QuoteLeft || key == Qt::Key_BracketLeft ||
         key == Qt::Key_BracketRight;
}

bool WidgetTakesPlainKeys(const QWidget* focus) {
  if (focus == nullptr) return false;
  if (qobject_cast<const QAbstractButton*>(focus) != nullptr) return true;
  if (qobject_cast<const QComboBox*>(focus) != nullptr) return true;
  if (qobject_cast<const QAbstractSpinBox*>(focus) != nullptr) return true;
  if (qobject_cast<const QKeySequenceEdit*>(focus) != nullptr) return true;
  if (const auto* line = qobject_cast<const QLineEdit*>(focus)) return !line->isReadOnly();
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus)) return !plain->isReadOnly();
  if (const auto* rich = qobject_cast<const QTextEdit*>(focus)) return !rich->isReadOnly();
  if (qobject_cast<const QAbstractItemView*>(focus) != nullptr) return true;
  // The program's own grid control edits its cells with plain keys.
  return focus->inherits("QvGridControl");
}

SingleKeyGuard::SingleKeyGuard(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

bool SingleKeyGuard::eventFilter(QObject* watched, QEvent* event) {
  // Before a key becomes a shortcut the focused widget is asked whether it
  // wants it itself (ShortcutOverride); accepting that request for a control
  // that uses plain keys hands the key to the control.
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != window_) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!IsSingleKeyShortcut(key->key(), key->modifiers())) return false;
  if (!WidgetTakesPlainKeys(widget)) return false;
  event->accept();
  return true;
}
