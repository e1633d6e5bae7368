#include "editor/pages/ADXSndCmdEditor.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

#include "definition/ADXCommands.h"
#include "editor/pages/PageText.h"

ADXSndCmdEditor::ADXSndCmdEditor(QWidget* parent, IEditorPageServices* services)
    : ADXPageBase(parent, services, true) {
  QFormLayout* form = GeneralForm();
  bytes_ = AddLine(form, "Byte String (Hex)", 1092);
  processReply_ = AddCheck(form, "Process Reply", 1126);
  verifyChecksum_ = AddCheck(form, "Verify Checksum", 1153);
  verifyChecksum_->setToolTip("The reply ends with a checksum: its bytes must add up to 0 (modulo 256)");
  timeout_ = AddLine(form, "Reply Timeout (ms)", 1093);
  replySize_ = AddLine(form, "Reply Size (total)", 1095);
  packetOffset_ = AddLine(form, "Packet Offset", 1096);
  packetSize_ = AddLine(form, "Packet Size", 1097);
}

ADXCSendCommand* ADXSndCmdEditor::Command() const {
  return static_cast<ADXCSendCommand*>(object_);
}

void ADXSndCmdEditor::LoadFields() {
  ADXCSendCommand* c = Command();
  bytes_->setText(QString::fromStdString(FormatByteString(c->bytes)));
  processReply_->setChecked((c->flags & kSendReadReply) != 0);
  verifyChecksum_->setChecked((c->flags & kSendVerifyChecksum) != 0);
  timeout_->setText(QString::number(c->replytimeout));
  replySize_->setText(QString::number(c->replysize));
  packetOffset_->setText(QString::number(c->packetoffset));
  packetSize_->setText(QString::number(c->packetsize));
}

void ADXSndCmdEditor::CommitFields() {
  ADXCSendCommand* c = Command();
  const std::vector<std::uint8_t> bytes = ReadByteString(Bytes(bytes_->text()));
  if (!bytes.empty()) c->SetByteString(bytes.data(), bytes.size());
  c->flags = processReply_->isChecked() ? (c->flags | kSendReadReply) : (c->flags & ~kSendReadReply);
  c->flags =
      verifyChecksum_->isChecked() ? (c->flags | kSendVerifyChecksum) : (c->flags & ~kSendVerifyChecksum);
  c->replytimeout = ReadUnsignedField31(Bytes(timeout_->text()));
  c->replysize = ReadUnsignedField31(Bytes(replySize_->text()));
  c->packetoffset = ReadUnsignedField31(Bytes(packetOffset_->text()));
  c->packetsize = ReadUnsignedField31(Bytes(packetSize_->text()));
}
