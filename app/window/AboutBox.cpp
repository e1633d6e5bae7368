#include "app/window/AboutBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/window/WindowTexts.h"

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Varnak Version"), this));
  auto* version = new QLabel(QString::fromLatin1(VersionText(VARNAK_VERSION_TEXT)), this);
  version->setObjectName(QStringLiteral("1012"));
  row->addWidget(version);
  layout->addLayout(row);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("IDOK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QRect area;
  if (parentWidget() != nullptr) {
    area = parentWidget()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->geometry();
  }
  move(CentredPosition(area, frameGeometry().size()));
}

QPoint CentredPosition(const QRect& parent, const QSize& window) {
  const int centreX = parent.x() + parent.width() / 2;
  const int centreY = parent.y() + parent.height() / 2;
  return QPoint(centreX - window.width() / 2, centreY - window.height() / 2);
}
