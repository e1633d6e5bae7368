#pragma once
// The send command page: the byte string to send, whether the reply is
// processed and its checksum verified, the reply time-out and size, and where
// the packet lies in it.
#include "editor/pages/ADXPageBase.h"

class ADXCSendCommand;
class QCheckBox;
class QLineEdit;

class ADXSndCmdEditor : public ADXPageBase {
  Q_OBJECT

 public:
  ADXSndCmdEditor(QWidget* parent, IEditorPageServices* services);

 protected:
  void LoadFields() override;
  void CommitFields() override;

 private:
  ADXCSendCommand* Command() const;

  QLineEdit* bytes_;
  QCheckBox* processReply_;
  QCheckBox* verifyChecksum_;
  QLineEdit* timeout_;
  QLineEdit* replySize_;
  QLineEdit* packetOffset_;
  QLineEdit* packetSize_;
};
