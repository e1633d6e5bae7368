#pragma once
// The modal windows the editor dialog opens besides its own: message boxes,
// the save-file dialog and the command type chooser. Injectable so that tests
// drive the editor without blocking; the default shows the real windows.
//
// Thread contract: GUI thread only.
#include <QString>

#include <cstdint>

class IEditorPageServices;
class QWidget;

class IEditorDialogServices {
 public:
  virtual ~IEditorDialogServices() = default;
  // A modal warning box.
  virtual void Warning(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A modal information box.
  virtual void Information(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A save-file dialog; false when cancelled, otherwise the chosen file (with
  // the default extension added when the name has none).
  virtual bool SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& defaultExtension, QString* chosen) = 0;
  // The command type chooser: the chosen command type, or 0 for none.
  virtual std::uint32_t ChooseCommandType(QWidget* parent) = 0;
  // The services the pages use (message boxes, item browser, colours).
  virtual IEditorPageServices* PageServices() = 0;
};

// The real windows. One process-wide instance.
IEditorDialogServices* DefaultEditorDialogServices();
