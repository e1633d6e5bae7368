#pragma once
// The listen-for-chatter page: the byte string to listen for and the time-out.
#include "editor/pages/ADXPageBase.h"

class ADXCListenChatter;
class QLineEdit;

class ADXLsnChatterEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXLsnChatterEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXCListenChatter* Command() const;

  QLineEdit* bytes_;
  QLineEdit* timeout_;
};
