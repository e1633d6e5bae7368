#pragma once
// One editor call: the definition being edited, the caller's debug log and
// options, and the dialog. Created on entry and destroyed before the entry
// returns; nothing survives between calls.
//
// Thread contract: GUI thread only, inside one entry call.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "definition/ADXDefinition.h"

class BrelithDialog;
class IEditorDialogServices;
class QvDebugOutput;
class QWidget;

// Size of the caller's path buffer, terminator included.
constexpr std::size_t kEditorPathBufferSize = 260;

class BrelithEditor {
 public:
  // Reads the file named by path (a 260-byte buffer, read up to its
  // terminator or its 259th character; null or empty for a new definition).
  // When the file does not load, the editor starts with an empty path on
  // whatever the failed load left. The debug log is borrowed and only kept.
  BrelithEditor(const char* path, QvDebugOutput* debugLog, std::uint32_t options,
                IEditorDialogServices* services = nullptr);
  ~BrelithEditor();
  BrelithEditor(const BrelithEditor&) = delete;
  BrelithEditor& operator=(const BrelithEditor&) = delete;

  // The dialog, created on first use, owned by owner (unless the options ask
  // for an application window).
  BrelithDialog& Dialog(QWidget* owner);
  // Runs the dialog modally; the saved flag.
  int Run(QWidget* owner);
  // The editor's final path into the caller's buffer (at most 259 characters
  // and a terminator); nothing for a null buffer.
  void CopyPathOut(char* buffer) const;

  ADXDefinition& Definition() { return definition_; }
  const std::string& LoadedPath() const { return path_; }
  QvDebugOutput* DebugLog() const { return debugLog_; }
  std::uint32_t Options() const { return options_; }

 private:
  // Declared first: destroyed after the dialog and its pages.
  ADXDefinition definition_;
  QvDebugOutput* debugLog_;
  std::uint32_t options_;
  IEditorDialogServices* services_;
  std::string path_;
  std::unique_ptr<BrelithDialog> dialog_;
};
