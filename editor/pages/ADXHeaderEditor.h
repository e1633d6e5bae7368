#pragma once
// The page of the definition header: author, version, description, baud, the
// echo flag and the connect, monitor and disconnect commands. It edits the
// definition itself, so it needs no object and always accepts its data.
#include "editor/pages/ADXPageBase.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QCheckBox;

class ADXHeaderEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXHeaderEditor(QWidget* parent, IEditorPageServices* services);

  // 0 without a definition.
  int Commit() override;
  int Load(ADXDefinition* definition, const ADXEditorItemRecord* record) override;
  int Validate(char* message, std::size_t size) override;

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  void FillCommands(QComboBox* combo, const ADXObject* selected);
  ADXObject* ChosenCommand(const QComboBox* combo) const;

  QLineEdit* author_;
  QLineEdit* version_;
  QPlainTextEdit* desc_;
  QLineEdit* baud_;
  QCheckBox* echo_;
  QComboBox* connect_;
  QComboBox* monitor_;
  QComboBox* disconnect_;
};
