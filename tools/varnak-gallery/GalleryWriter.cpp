#include "tools/varnak-gallery/GalleryWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

GalleryWriter::GalleryWriter(QString outDir) : outDir_(std::move(outDir)) {}

bool GalleryWriter::prepare() {
  if (outDir_.isEmpty()) {
    error_ = QStringLiteral("no output folder given");
    return false;
  }
  const QFileInfo info(outDir_);
  if (info.exists() && !info.isDir()) {
    error_ = QStringLiteral("%1 is not a folder").arg(outDir_);
    return false;
  }
  if (!QDir().mkpath(outDir_)) {
    error_ = QStringLiteral("cannot create the folder %1").arg(outDir_);
    return false;
  }
  // Permissions alone do not tell (root ignores them, read-only mounts do not
  // show in the mode bits): try to write a file and remove it again.
  QFile probe(pathOf(QStringLiteral(".gallery-probe")));
  if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate) || probe.write("x", 1) != 1) {
    error_ = QStringLiteral("cannot write into %1: %2").arg(outDir_, probe.errorString());
    return false;
  }
  probe.close();
  probe.remove();
  return true;
}

QString GalleryWriter::pathOf(const QString& name) const {
  return QDir(outDir_).filePath(name);
}

QImage GalleryWriter::save(QWidget& widget, const QString& name) {
  const QImage image = widget.grab().toImage();
  return saveImage(image, name) ? image : QImage();
}

QImage GalleryWriter::save(QWidget& widget, QSize size, const QString& name) {
  widget.resize(size);
  return save(widget, name);
}

bool GalleryWriter::saveImage(const QImage& image, const QString& name) {
  const QString file = name + QStringLiteral(".png");
  if (image.isNull() || !image.save(pathOf(file), "PNG")) {
    if (error_.isEmpty()) error_ = QStringLiteral("cannot write %1").arg(pathOf(file));
    return false;
  }
  written_.append(file);
  return true;
}
