// The window's file dialogs and message boxes behind one interface, so that
// the window shows real dialogs while tests and scripted runs answer them.
//
// Thread contract: GUI thread only.
#pragma once

#include <optional>
#include <string>

class QWidget;

enum class FileDialogKind {
  LoadDefinition,    // "Select ADX..."
  SaveDefinitionAs,  // "Choose file to save to..."
  ImportDefinition,  // "Select file to import..."
  LoadLog,           // "Select datalog..."
  SaveLog,           // "Select/Create file to save..."
};

class IWindowDialogs {
 public:
  virtual ~IWindowDialogs() = default;
  // The chosen file, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFile(FileDialogKind kind) = 0;
  // Modal boxes: an error (error icon) and an information.
  virtual void ShowError(const std::string& title, const std::string& text) = 0;
  virtual void ShowInformation(const std::string& title, const std::string& text) = 0;
};

// The dialogs of the desktop: QFileDialog with the titles, filters and
// default extensions of each kind (a save asks before replacing a file), and
// QMessageBox.
class QtWindowDialogs : public IWindowDialogs {
 public:
  explicit QtWindowDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> ChooseFile(FileDialogKind kind) override;
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowInformation(const std::string& title, const std::string& text) override;

 private:
  QWidget* parent_;
};
