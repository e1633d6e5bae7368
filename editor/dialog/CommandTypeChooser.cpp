#include "editor/dialog/CommandTypeChooser.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "definition/ADXObject.h"

const std::vector<CommandTypeChoice>& CommandTypeChoices() {
  static const std::vector<CommandTypeChoice> choices{
      {"Send/Reply Command", ADX_TYPE_SENDCOMMAND, "New Send Command"},
      {"Listen for Chatter", ADX_TYPE_LISTENCHATTER, "Listen for Chatter"},
      {"Listen for Silence", ADX_TYPE_LISTENSILENCE, "Listen for Silence"},
      {"Listen for 160 baud packet", ADX_TYPE_160BAUDLISTEN, "Listen for 160 Baud Data"},
      {"Trigger", ADX_TYPE_TRIGGER, "New Trigger"},
      {"Macro Command", ADX_TYPE_MACRO, "New Macro"},
  };
  return choices;
}

const char* NewCommandTitle(std::uint32_t type) {
  for (const CommandTypeChoice& choice : CommandTypeChoices()) {
    if (choice.type == type) return choice.newTitle;
  }
  return nullptr;
}

CommandTypeChooser::CommandTypeChooser(QWidget* parent) : QDialog(parent), list_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("Command Type Chooser..."));
  list_->setObjectName(QStringLiteral("1065"));
  for (const CommandTypeChoice& choice : CommandTypeChoices()) {
    auto* row = new QListWidgetItem(QString::fromLatin1(choice.text), list_);
    row->setData(Qt::UserRole, static_cast<qulonglong>(choice.type));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  resize(240, 200);
  if (parent != nullptr) move(parent->window()->frameGeometry().center() - rect().center());
}

std::uint32_t CommandTypeChooser::SelectedType() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return 0;
  return static_cast<std::uint32_t>(selected.front()->data(Qt::UserRole).toULongLong());
}

std::uint32_t CommandTypeChooser::Choose(QWidget* parent) {
  CommandTypeChooser chooser(parent);
  if (chooser.exec() != QDialog::Accepted) return 0;
  return chooser.SelectedType();
}
