// varnak-gallery OUTDIR: renders every display control in representative
// states into PNG files, one line per file written. Runs on Qt's offscreen
// platform when no platform is chosen and no display is there.
#include <QApplication>
#include <QByteArray>
#include <QStringList>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "tools/varnak-gallery/GalleryScenes.h"
#include "tools/varnak-gallery/GalleryWriter.h"

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
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
  }
  return false;
}

constexpr const char* kUsage =
    "usage: varnak-gallery OUTDIR\n"
    "       varnak-gallery --help | --version\n"
    "  renders every display control into PNG files in OUTDIR, one line per file written\n";

// --help, --version and unknown options are answered before Qt starts, so
// that they need no display and never take an option for a folder. Qt's own
// options (one dash: -platform, -style) are left to Qt.
int AnswerWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("varnak-gallery %s\n", VARNAK_VERSION_TEXT);
      return 0;
    }
    if (std::strncmp(arg, "--", 2) == 0 && std::strcmp(arg, "--platform") != 0) {
      std::fprintf(stderr, "varnak-gallery: unknown option %s\n%s", arg, kUsage);
      return 2;
    }
  }
  return -1;
}

bool DisplayPresent() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (const int status = AnswerWithoutWindow(argc, argv); status >= 0) return status;
  if (!PlatformChosen(argc, argv) && !DisplayPresent()) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  // Qt takes its own options (-platform, -style, ...) out of the arguments.
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() != 2 || arguments.at(1).isEmpty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  GalleryWriter writer(arguments.at(1));
  if (!writer.prepare()) {
    std::fprintf(stderr, "varnak-gallery: %s\n", writer.error().toLocal8Bit().constData());
    return 1;
  }

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
