// The real modal windows behind the editor dialog's services.
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "editor/browser/ADXItemBrowser.h"
#include "editor/dialog/CommandTypeChooser.h"
#include "editor/dialog/IEditorDialogServices.h"
#include "editor/pages/ADXItemEditorBase.h"

namespace {

// The pages' services with the editor's own item browser; message boxes,
// colours and equations come from the pages' defaults.
class EditorPageServices : public IEditorPageServices {
 public:
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override {
    DefaultEditorPageServices()->ShowMessage(parent, caption, text);
  }
  int BrowseItems(QWidget* parent, ADXDefinition* definition, std::uint32_t mask, bool single,
                  std::vector<ADXObject*>* chosen) override {
    return ::BrowseItems(parent, definition, mask, chosen, single) == 1 ? 1 : 0;
  }
  bool ChooseColor(QWidget* parent, const QColor& initial, QColor* chosen) override {
    return DefaultEditorPageServices()->ChooseColor(parent, initial, chosen);
  }
  bool EditEquation(QWidget* parent, const QString& initial, QString* edited) override {
    return DefaultEditorPageServices()->EditEquation(parent, initial, edited);
  }
};

class DefaultServices : public IEditorDialogServices {
 public:
  void Warning(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::warning(parent, caption, text);
  }
  void Information(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::information(parent, caption, text);
  }
  bool SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& defaultExtension, QString* chosen) override {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    *chosen = dialog.selectedFiles().front();
    return true;
  }
  std::uint32_t ChooseCommandType(QWidget* parent) override { return CommandTypeChooser::Choose(parent); }
  IEditorPageServices* PageServices() override { return &pages_; }

 private:
  EditorPageServices pages_;
};

}  // namespace

IEditorDialogServices* DefaultEditorDialogServices() {
  static DefaultServices services;
  return &services;
}
