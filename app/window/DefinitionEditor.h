// How the main window reaches the definition editor library: one modal call
// on the GUI thread that edits the file named in a 260-byte path buffer and
// writes the path it saved to back into it.
//
// Thread contract: GUI thread only; the call returns when the editor closes.
#pragma once

#include <cstddef>
#include <cstdint>

class QvDebugOutput;
class QWidget;

class IDefinitionEditor {
 public:
  static constexpr std::size_t kPathBufferSize = 260;

  virtual ~IDefinitionEditor() = default;
  // Non-zero when the editor saved. path holds kPathBufferSize bytes, in and
  // out; log is borrowed for the call.
  virtual std::int32_t Edit(QWidget* owner, char* path, QvDebugOutput* log, std::uint32_t options) = 0;
};
