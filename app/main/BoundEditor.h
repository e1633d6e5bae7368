// The editor library's entry as the main window calls it.
//
// Thread contract: GUI thread only, like the entry itself.
#pragma once

#include "app/binding/EditorBinding.h"
#include "app/window/DefinitionEditor.h"

class BoundEditor : public IDefinitionEditor {
 public:
  explicit BoundEditor(const EditorBinding& binding) : binding_(binding) {}

  std::int32_t Edit(QWidget* owner, char* path, QvDebugOutput* log, std::uint32_t options) override {
    const BrelithEntryFunction entry = binding_.Entry();
    return entry == nullptr ? 0 : entry(owner, path, log, options);
  }

 private:
  const EditorBinding& binding_;
};

static_assert(IDefinitionEditor::kPathBufferSize == kEditorPathBuffer);
