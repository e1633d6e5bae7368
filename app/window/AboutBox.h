// Help > "About ...": the static "Varnak Version", the version text in static
// 1012 and an OK button; centred on its parent when it opens.
//
// Thread contract: GUI thread only.
#pragma once

#include <QDialog>

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
};

// A window's top-left corner that centres it on its parent (the screen without
// one): the parent's centre minus half the window's size, in integer halves.
QPoint CentredPosition(const QRect& parent, const QSize& window);
