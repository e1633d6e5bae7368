// varnak-gallery OUTDIR: renders every display control in representative
// states into PNG files, one line per file written. Runs on Qt's offscreen
// platform when no platform is chosen and no display is there.
#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "GalleryScenes.h"
#include "GalleryWriter.h"

// Fontconfig keeps a few caches for the life of the process; they are not the
// program's leaks, and leak checking under the address sanitizer would
// otherwise fail every run.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace {

bool PlatformChosen(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  }
  return false;
}

bool DisplayPresent() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The output folder: the first argument that is not a Qt option.
const char* OutDirArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) {
      ++i;
      continue;
    }
    return argv[i];
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const char* outDir = OutDirArgument(argc, argv);
  if (outDir == nullptr || outDir[0] == '\0') {
    std::fprintf(stderr, "usage: varnak-gallery OUTDIR\n");
    return 2;
  }
  if (!PlatformChosen(argc, argv) && !DisplayPresent()) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));

  GalleryWriter writer(QString::fromLocal8Bit(outDir));
  if (!writer.prepare()) {
    std::fprintf(stderr, "varnak-gallery: %s\n", writer.error().toLocal8Bit().constData());
    return 1;
  }

  QApplication app(argc, argv);
  RenderGaugePictures(writer);
  RenderChartPictures(writer);
  RenderTablePictures(writer);
  RenderContainerPictures(writer);

  for (const QString& file : writer.written())
    std::printf("%s\n", writer.pathOf(file).toLocal8Bit().constData());
  std::fflush(stdout);
  if (!writer.error().isEmpty()) {
    std::fprintf(stderr, "varnak-gallery: %s\n", writer.error().toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
