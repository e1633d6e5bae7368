#pragma once
// The 160-baud listen page: the packet length in bytes.
#include "editor/pages/ADXPageBase.h"

class ADXC160BaudListen;
class QLineEdit;

class ADXLsn160BaudEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXLsn160BaudEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXC160BaudListen* Command() const;

  QLineEdit* packetSize_;
};
