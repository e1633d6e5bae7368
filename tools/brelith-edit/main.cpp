// brelith-edit FILE.adx: edits a definition with the editor library on its
// own, bound the same way the program binds it.
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/binding/EditorBinding.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  QApplication application(argc, argv);
  if (argc > 2 || (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0))) {
    std::fprintf(stderr, "usage: brelith-edit [FILE.adx]\n");
    return argc > 2 ? 2 : 0;
  }
  EditorBinding binding;
  if (!binding.Bind(DefaultBindingMessages())) return 0;

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
