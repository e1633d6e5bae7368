// brelith-edit FILE.adx: edits a definition with the editor library on its
// own, bound the same way the program binds it.
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/binding/EditorBinding.h"

namespace {

constexpr const char* kUsage =
    "usage: brelith-edit [FILE.adx]\n"
    "       brelith-edit --help | --version\n"
    "  edits a definition (a new one without FILE.adx) with the editor library\n";

// --help, --version and wrong usage are answered before Qt starts, so that
// they need no display and never open an editor. Qt's own options (one dash:
// -platform, -style) are left to Qt. Returns the exit status, or -1 to go on.
int AnswerWithoutWindow(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("brelith-edit %s\n", VARNAK_VERSION_TEXT);
      return 0;
    }
    if (std::strncmp(arg, "--", 2) == 0) {
      std::fprintf(stderr, "brelith-edit: unknown option %s\n%s", arg, kUsage);
      return 2;
    }
    if (arg[0] != '-') ++files;
  }
  if (files > 1) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (const int status = AnswerWithoutWindow(argc, argv); status >= 0) return status;
  QApplication application(argc, argv);
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Without its library the editor cannot run; the binding has said why.
  EditorBinding binding;
  if (!binding.Bind(DefaultBindingMessages())) return 1;

  char path[kEditorPathBuffer] = {};
  if (argc == 2) {
    if (std::strlen(argv[1]) >= kEditorPathBuffer) {
      std::fprintf(stderr, "brelith-edit: path too long: %s\n", argv[1]);
      return 2;
    }
    std::strcpy(path, argv[1]);
  }
  // Options bit 0: the editor is this program's main window.
  const int saved = binding.Entry()(nullptr, path, nullptr, 1);
  if (saved != 0) std::printf("saved %s\n", path);
  return 0;
}
