#pragma once
// Simulated user input for the gallery: mouse and key events delivered to a
// widget the way the window system would, so controls change through their
// own event handlers.
//
// Thread contract: GUI thread only.
#include <QPoint>
#include <Qt>

class QWidget;

void SendMousePress(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Moves with the buttons held (none for a plain hover).
void SendMouseMove(QWidget* widget, QPoint pos, Qt::MouseButtons held = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void SendMouseRelease(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void SendDoubleClick(QWidget* widget, QPoint pos);
// Press, moves in `steps` equal steps, release.
void SendDrag(QWidget* widget, QPoint from, QPoint to, int steps,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A key press and release; text is what the key types (empty for none).
void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const char* text = "");
