#include "tools/varnak-gallery/GalleryInput.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  const QPointF local(pos);
  const QPointF global(widget->mapToGlobal(pos));
  QMouseEvent event(type, local, local, global, button, buttons, modifiers);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

void SendMousePress(QWidget* widget, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  SendMouse(widget, QEvent::MouseButtonPress, pos, button, button, modifiers);
}

void SendMouseMove(QWidget* widget, QPoint pos, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
  SendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, held, modifiers);
}

void SendMouseRelease(QWidget* widget, QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  SendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, modifiers);
}

void SendDoubleClick(QWidget* widget, QPoint pos) {
  // The window system sends press, release, double click, release.
  SendMousePress(widget, pos);
  SendMouseRelease(widget, pos);
  SendMouse(widget, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  SendMouseRelease(widget, pos);
}

void SendDrag(QWidget* widget, QPoint from, QPoint to, int steps, Qt::KeyboardModifiers modifiers) {
  SendMousePress(widget, from, Qt::LeftButton, modifiers);
  const int n = steps < 1 ? 1 : steps;
  for (int i = 1; i <= n; ++i) {
    const QPoint at = from + (to - from) * i / n;
    SendMouseMove(widget, at, Qt::LeftButton, modifiers);
  }
  SendMouseRelease(widget, to, Qt::LeftButton, modifiers);
}

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const char* text) {
  const QString typed = QString::fromLatin1(text);
  QKeyEvent press(QEvent::KeyPress, key, modifiers, typed);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, typed);
  QCoreApplication::sendEvent(widget, &release);
}
