#pragma once
// Services that record what the editor would have shown and answer the file
// dialog and the command type chooser from fields set by the test.
#include <QString>

#include <utility>
#include <vector>

#include "editor/dialog/IEditorDialogServices.h"
#include "editor/pages/ADXItemEditorBase.h"

class FakeServices : public IEditorDialogServices, public IEditorPageServices {
 public:
  void Warning(QWidget*, const QString& caption, const QString& text) override {
    warnings.emplace_back(caption, text);
  }
  void Information(QWidget*, const QString& caption, const QString& text) override {
    infos.emplace_back(caption, text);
  }
  bool SaveFileName(QWidget*, const QString& title, const QString& filter, const QString& extension,
                    QString* chosen) override {
    ++saveDialogs;
    lastSaveTitle = title;
    lastSaveFilter = filter;
    lastSaveExtension = extension;
    if (saveAnswer.isEmpty()) return false;
    *chosen = saveAnswer;
    return true;
  }
  std::uint32_t ChooseCommandType(QWidget*) override { return commandType; }
  IEditorPageServices* PageServices() override { return this; }

  void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
    warnings.emplace_back(caption, text);
  }
  int BrowseItems(QWidget*, ADXDefinition*, std::uint32_t, bool, std::vector<ADXObject*>*) override {
    return 0;
  }
  bool ChooseColor(QWidget*, const QColor&, QColor*) override { return false; }
  bool EditEquation(QWidget*, const QString&, QString*) override { return false; }

  std::vector<std::pair<QString, QString>> warnings;
  std::vector<std::pair<QString, QString>> infos;
  QString saveAnswer;  // empty: the file dialog is cancelled
  int saveDialogs = 0;
  QString lastSaveTitle, lastSaveFilter, lastSaveExtension;
  std::uint32_t commandType = 0;
};
