#pragma once
// Shared by the GUI test programs: one QApplication for every test of a
// program (offscreen platform), created before the first test and destroyed
// after the last, and helpers that render widgets for checks by pixel and
// save the pictures for people to look at.
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>

#include <gtest/gtest.h>

class QtTestApp : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "varnak-test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// Fontconfig keeps a few caches for the life of the process; they are not the
// program's leaks.
extern "C" inline const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// Renders a widget offscreen and saves it under the build folder.
inline QImage SaveRender(QWidget& widget, const QString& name) {
  const QImage image = widget.grab().toImage();
  const QString dir = QStringLiteral(VARNAK_BINARY_DIR "/renders");
  QDir().mkpath(dir);
  image.save(dir + "/" + name + ".png");
  return image;
}

// Renders a widget offscreen at a size and saves it under the build folder.
inline QImage RenderWidget(QWidget& widget, QSize size, const QString& name) {
  widget.resize(size);
  return SaveRender(widget, name);
}

// Number of pixels of an image that have exactly this colour.
inline int CountColor(const QImage& image, QColor color) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y).rgb() == color.rgb()) ++count;
    }
  }
  return count;
}
