#include "editor/pages/ADXItemEditorBase.h"

#include <QColorDialog>
#include <QMessageBox>

#include <algorithm>
#include <cstring>

#include "definition/ADXDefinition.h"
#include "definition/ADXObject.h"
#include "editor/browser/ADXItemBrowser.h"
#include "editor/pages/ADXEquationDialog.h"

namespace {

// The real modal dialogs.
class DefaultServices : public IEditorPageServices {
 public:
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::warning(parent, caption, text);
  }
  int BrowseItems(QWidget* parent, ADXDefinition* definition, std::uint32_t mask, bool single,
                  std::vector<ADXObject*>* chosen) override {
    return ::BrowseItems(parent, definition, mask, chosen, single) == 1 ? 1 : 0;
  }
  bool ChooseColor(QWidget* parent, const QColor& initial, QColor* chosen) override {
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid()) return false;
    *chosen = color;
    return true;
  }
};

void CopyMessage(char* buffer, std::size_t size, const char* text) {
  if (buffer == nullptr || size == 0) return;
  const std::size_t n = std::min(std::strlen(text), size - 1);
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
}

}  // namespace

bool IEditorPageServices::EditEquation(QWidget* parent, const QString& initial, QString* edited) {
  ADXEquationDialog dialog(parent, initial);
  if (dialog.exec() != QDialog::Accepted) return false;
  *edited = dialog.equation();
  return true;
}

IEditorPageServices* DefaultEditorPageServices() {
  static DefaultServices services;
  return &services;
}

ADXItemEditorBase::ADXItemEditorBase(IEditorPageServices* services)
    : services_(services != nullptr ? services : DefaultEditorPageServices()) {}

ADXItemEditorBase::~ADXItemEditorBase() = default;

void ADXItemEditorBase::SetServices(IEditorPageServices* services) {
  services_ = services != nullptr ? services : DefaultEditorPageServices();
}

void ADXItemEditorBase::Unload() {
  object_ = nullptr;
}

bool ADXItemEditorBase::Attach(ADXDefinition* definition, const ADXEditorItemRecord* record) {
  definition_ = definition;
  object_ = record != nullptr ? record->object : nullptr;
  return object_ != nullptr;
}

int ADXItemEditorBase::Validate(char* message, std::size_t size) {
  CopyMessage(message, size, "");
  if (Commit() == 0) return 1;
  if (object_->id[0] == '\0') {
    CopyMessage(message, size, "No ID provided. Please specify unique ID string.");
    return 0;
  }
  if (definition_ != nullptr && definition_->IsHashUnique(object_, object_->idhash) == 0) {
    CopyMessage(message, size, "ID is not unique. Please specify unique ID.");
    return 0;
  }
  return 1;
}
