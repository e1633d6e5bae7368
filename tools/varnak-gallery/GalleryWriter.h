#pragma once
// Saves the pictures of the gallery: each widget is rendered offscreen at a
// given size and written as a PNG into the output folder. The writer keeps the
// names it wrote, in order, and the first error it met.
//
// Thread contract: GUI thread only (it renders widgets).
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

class GalleryWriter {
 public:
  explicit GalleryWriter(QString outDir);

  // Makes the folder when needed and checks that a file can be written in it.
  // False (and error()) when it cannot.
  bool prepare();

  // Renders the widget at its present size and saves it as name + ".png".
  // Returns the picture (a null image when saving failed).
  QImage save(QWidget& widget, const QString& name);
  // Resizes the widget first.
  QImage save(QWidget& widget, QSize size, const QString& name);
  // Saves a picture that was rendered already.
  bool saveImage(const QImage& image, const QString& name);

  const QStringList& written() const { return written_; }
  const QString& error() const { return error_; }
  QString pathOf(const QString& name) const;

 private:
  QString outDir_;
  QStringList written_;
  QString error_;
};
