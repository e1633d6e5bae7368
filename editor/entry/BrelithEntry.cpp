// The library's only exported function: sets up one editor call, runs the
// dialog and hands the final path back.
#include "editor/entry/BrelithEntry.h"

#include <QApplication>

#include <memory>

#include "editor/dialog/BrelithEditor.h"

extern "C" __attribute__((visibility("default"))) std::int32_t BrelithEntry(QWidget* owner, char* path,
                                                                            QvDebugOutput* debugLog,
                                                                            std::uint32_t options) {
  // No exception may leave the library.
  try {
    std::unique_ptr<QApplication> ownApplication;
    if (QCoreApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "brelith";
      static char* argv[] = {name, nullptr};
      ownApplication = std::make_unique<QApplication>(argc, argv);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      return 0;  // a process without widgets cannot show the editor
    }
    std::int32_t result = 0;
    {
      BrelithEditor editor(path, debugLog, options);
      result = editor.Run(owner);
      editor.CopyPathOut(path);
    }
    return result;
  } catch (...) {
    return 0;
  }
}
