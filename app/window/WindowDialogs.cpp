#include "app/window/WindowDialogs.h"
#include "controls/common/TextBytes.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

struct DialogLook {
  const char* title;
  const char* filter;
  const char* suffix;
  bool save;
};

DialogLook LookOf(FileDialogKind kind) {
  switch (kind) {
    case FileDialogKind::LoadDefinition:
      return {"Select ADX...", "ADX Files (*.adx);;All Files (*.*)", "adx", false};
    case FileDialogKind::SaveDefinitionAs:
      return {"Choose file to save to...", "ADX Files (*.adx);;All Files (*.*)", "adx", true};
    case FileDialogKind::ImportDefinition:
      return {"Select file to import...", "ADS Files (*.ads);;All Files (*.*)", "ads", false};
    case FileDialogKind::LoadLog:
      return {"Select datalog...", "Datalog (XDL) Files (*.xdl);;All Files (*.*)", "xdl", false};
    case FileDialogKind::SaveLog:
      return {"Select/Create file to save...", "Datalog (XDL) Files (*.xdl);;All Files (*.*)", "xdl", true};
  }
  return {"", "All Files (*.*)", "", false};
}

}  // namespace

std::optional<std::string> QtWindowDialogs::ChooseFile(FileDialogKind kind) {
  const DialogLook look = LookOf(kind);
  QFileDialog dialog(parent_, QString::fromLatin1(look.title));
  dialog.setNameFilter(QString::fromLatin1(look.filter));
  dialog.setNameFilters(QString::fromLatin1(look.filter).split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(QString::fromLatin1(look.suffix));
  dialog.setAcceptMode(look.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(look.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

void QtWindowDialogs::ShowError(const std::string& title, const std::string& text) {
  QMessageBox::critical(parent_, TextFromBytes(title), TextFromBytes(text));
}

void QtWindowDialogs::ShowInformation(const std::string& title, const std::string& text) {
  QMessageBox::information(parent_, TextFromBytes(title), TextFromBytes(text));
}
