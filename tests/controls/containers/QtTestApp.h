#pragma once
// One QApplication for every test of a GUI test program (offscreen platform).
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

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

// Renders a widget offscreen at a size and, for people to look at, saves it
// under the build folder.
inline QImage RenderWidget(QWidget& widget, QSize size, const QString& name) {
  widget.resize(size);
  const QImage image = widget.grab().toImage();
  const QString dir = QStringLiteral(VARNAK_BINARY_DIR "/renders");
  QDir().mkpath(dir);
  image.save(dir + "/" + name + ".png");
  return image;
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
