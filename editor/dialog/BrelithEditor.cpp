#include "editor/dialog/BrelithEditor.h"

#include <cstring>

#include "definition/ADXFile.h"
#include "editor/dialog/BrelithDialog.h"

BrelithEditor::BrelithEditor(const char* path, QvDebugOutput* debugLog, std::uint32_t options,
                             IEditorDialogServices* services)
    : debugLog_(debugLog), options_(options), services_(services) {
  definition_.Clear();
  if (path != nullptr) {
    const std::string requested(path, ::strnlen(path, kEditorPathBufferSize - 1));
    if (!requested.empty() && LoadAdx(&definition_, requested.c_str(), nullptr, 0, nullptr) != 0)
      path_ = requested;
  }
}

BrelithEditor::~BrelithEditor() {
  dialog_.reset();
}

BrelithDialog& BrelithEditor::Dialog(QWidget* owner) {
  if (!dialog_) dialog_ = std::make_unique<BrelithDialog>(owner, &definition_, path_, options_, services_);
  return *dialog_;
}

int BrelithEditor::Run(QWidget* owner) {
  BrelithDialog& dialog = Dialog(owner);
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

void BrelithEditor::CopyPathOut(char* buffer) const {
  if (buffer == nullptr) return;
  const std::string& path = dialog_ ? dialog_->Path() : path_;
  const std::size_t n = std::min(path.size(), kEditorPathBufferSize - 1);
  std::memcpy(buffer, path.data(), n);
  buffer[n] = '\0';
}
