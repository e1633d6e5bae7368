#pragma once
// The listen-for-silence page: the silence length and the total time-out.
#include "editor/pages/ADXPageBase.h"

class ADXCListenSilence;
class QLineEdit;

class ADXLsnSilenceEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXLsnSilenceEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXCListenSilence* Command() const;

  QLineEdit* silence_;
  QLineEdit* timeout_;
};
