#include "editor/pages/ADXPageBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <map>
#include <string>

#include <algorithm>
#include "controls/common/TextBytes.h"
#include "controls/containers/QvTabSheet.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXObject.h"
#include "editor/pages/PageText.h"

ADXPageBase::ADXPageBase(QWidget* parent, IEditorPageServices* services, bool commonFields)
    : ADXItemEditorBase(services),
      sheet_(new QvTabSheet(parent, 0, 0)),
      general_(new QWidget),
      form_(new QFormLayout(general_)) {
  sheet_->setCaptionShown(false);
  sheet_->hide();
  sheet_->resize(400, 400);
  // A page taller than the room it gets scrolls instead of squeezing its fields.
  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(general_);
  sheet_->addPageWindow(scroll, "General", -1);
  if (commonFields) {
    title_ = AddLine(form_, "Title", 1006);
    id_ = AddLine(form_, "Unique ID", 1008);
    id_->setMaxLength(static_cast<int>(kAdxIdMaxLength));
    desc_ = new QPlainTextEdit(general_);
    desc_->setObjectName("1007");
    desc_->setFixedHeight(48);
    form_->addRow("Description", desc_);
    connect(title_, &QLineEdit::textChanged, this, [this](const QString& text) {
      if (!loading_) Q_EMIT titleEdited(text);
    });
  }
}

ADXPageBase::~ADXPageBase() {
  delete sheet_.data();
}

QWidget* ADXPageBase::PageWindow() const {
  return sheet_;
}

QWidget* ADXPageBase::AddTab(const char* title) {
  auto* page = new QWidget;
  sheet_->addPageWindow(page, title, -1);
  return page;
}

namespace {

// Texts shown by the page being loaded whose bytes are not their UTF-8 form
// (8-bit texts), so that an unchanged text is saved with its own bytes. The
// editor's pages live on the user-interface thread only.
std::map<QString, std::string>& ShownBytes() {
  static std::map<QString, std::string> shown;
  return shown;
}

}  // namespace

QString ADXPageBase::Text(const std::string& text) {
  QString shown = TextFromBytes(text);
  if (BytesFromText(shown) != text) ShownBytes()[shown] = text;
  return shown;
}

std::string ADXPageBase::Bytes(const QString& text) {
  const auto it = ShownBytes().find(text);
  return it != ShownBytes().end() ? it->second : BytesFromText(text);
}

int ADXPageBase::Load(ADXDefinition* definition, const ADXEditorItemRecord* record) {
  if (!Attach(definition, record)) return 0;
  ShownBytes().clear();
  loading_ = true;
  if (title_ != nullptr) {
    title_->setText(Text(object_->title));
    id_->setText(Text(object_->id));
    desc_->setPlainText(Text(object_->desc));
  }
  LoadFields();
  loading_ = false;
  return 1;
}

int ADXPageBase::Commit() {
  if (object_ == nullptr) return 0;
  if (title_ != nullptr) {
    const std::string title = Bytes(title_->text());
    object_->SetTitle(title.c_str(), title.size());
    const std::string id = Bytes(id_->text());
    object_->SetId(id.c_str());
    const std::string desc = Bytes(desc_->toPlainText());
    object_->SetDesc(desc.c_str(), desc.size());
  }
  fieldError_.clear();
  CommitFields();
  return 1;
}

int ADXPageBase::Validate(char* message, std::size_t size) {
  const int valid = ADXItemEditorBase::Validate(message, size);
  if (fieldError_.empty()) return valid;
  if (message != nullptr && size > 0) {
    const std::size_t n = std::min(fieldError_.size(), size - 1);
    fieldError_.copy(message, n);
    message[n] = '\0';
  }
  return 0;
}

QString ADXPageBase::DecimalFieldText(double value) {
  return QString::fromStdString(FormatFloatField(value));
}

void ADXPageBase::ReadDecimalField(const QLineEdit* edit, const char* label, float* target) {
  const std::string text = Bytes(edit->text());
  if (TryReadFloatField(text, target)) return;
  if (fieldError_.empty()) fieldError_ = FloatFieldMessage(label, text);
}

QLineEdit* ADXPageBase::AddLine(QFormLayout* form, const char* label, int id) {
  auto* edit = new QLineEdit(form->parentWidget());
  edit->setObjectName(QString::number(id));
  form->addRow(label, edit);
  return edit;
}

QCheckBox* ADXPageBase::AddCheck(QFormLayout* form, const char* text, int id) {
  auto* box = new QCheckBox(text, form->parentWidget());
  box->setObjectName(QString::number(id));
  form->addRow(box);
  return box;
}

QComboBox* ADXPageBase::AddCombo(QFormLayout* form, const char* label, int id) {
  auto* combo = new QComboBox(form->parentWidget());
  combo->setObjectName(QString::number(id));
  form->addRow(label, combo);
  return combo;
}

void ADXPageBase::FillCommandAssociation(QComboBox* combo, const char* first,
                                         const std::function<bool(std::uint32_t)>& triggerFits) const {
  combo->clear();
  combo->addItem(first, QVariant::fromValue<uint>(0));
  if (definition_ == nullptr) return;
  for (std::size_t i = 0; i < definition_->ObjectCount(); ++i) {
    const ADXObject* object = definition_->ObjectAt(i);
    if (object == nullptr) continue;
    bool listed = false;
    if (object->objectType == ADX_TYPE_SENDCOMMAND) {
      listed = (static_cast<const ADXCSendCommand*>(object)->flags & kSendReadReply) != 0;
    } else if (object->objectType == ADX_TYPE_TRIGGER) {
      listed = triggerFits(static_cast<const ADXCTrigger*>(object)->triggertype);
    }
    if (listed) combo->addItem(Text(object->title), QVariant::fromValue<uint>(object->idhash));
  }
}

void ADXPageBase::SelectByData(QComboBox* combo, std::uint32_t value) {
  combo->setCurrentIndex(combo->findData(QVariant::fromValue<uint>(value)));
}

std::uint32_t ADXPageBase::SelectedData(const QComboBox* combo, std::uint32_t fallback) {
  if (combo->currentIndex() < 0) return fallback;
  return combo->currentData().toUInt();
}
