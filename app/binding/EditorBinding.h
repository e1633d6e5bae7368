#pragma once
// The program's binding to the editor library: loads libBrelith.so once at
// start-up (the program's own folder first, then the usual search path), looks
// up its entry, and makes the Edit Definition and New Definition calls.
//
// Thread contract: GUI thread only. Bind runs once before any window exists;
// the library stays loaded until the process ends.
#include <cstddef>
#include <functional>
#include <string>

#include "editor/entry/BrelithEntry.h"

class QWidget;
class QvDebugOutput;

// How the binding tells the user that it failed.
class IBindingMessages {
 public:
  virtual ~IBindingMessages() = default;
  virtual void Warning(const std::string& caption, const std::string& text) = 0;
};

// A warning box without an owner (there is no window yet at start-up).
IBindingMessages* DefaultBindingMessages();

// The folder of the running program (from /proc/self/exe), without a trailing
// separator; empty when it cannot be found.
std::string ProgramDirectory();

// The two start-up warnings, naming the library file that was looked for.
std::string MissingLibraryText(const std::string& libraryName);
std::string MissingEntryText(const std::string& libraryName);
constexpr const char* kMissingLibraryCaption = "Quorlen";
constexpr const char* kMissingEntryCaption = "Error";

// Size of the path buffers handed to the editor, terminator included.
constexpr std::size_t kEditorPathBuffer = 260;

class EditorBinding {
 public:
  // Loads the library and finds BrelithEntry. On failure shows the matching
  // warning and returns false; the caller then ends the program with code 0.
  bool Bind(IBindingMessages* messages, const std::string& programDirectory = ProgramDirectory(),
            const std::string& libraryName = kBrelithLibraryName);
  bool IsBound() const { return entry_ != nullptr; }
  BrelithEntryFunction Entry() const { return entry_; }
  // The file the library was loaded from (as passed to the loader).
  const std::string& LoadedFrom() const { return loadedFrom_; }

  // Edit Definition: the editor works on the current path itself (a 260-byte
  // buffer, rewritten by the editor even when it did not save). On a non-zero
  // result load(currentPath) runs. Returns the editor's result (0 unbound).
  int EditDefinition(QWidget* owner, char* currentPath, QvDebugOutput* debugLog,
                     const std::function<void(const char*)>& load) const;
  // New Definition: the editor gets a fresh empty buffer. On a non-zero result
  // its text becomes the current path (at most 259 characters) and
  // load(currentPath) runs; otherwise nothing changes.
  int NewDefinition(QWidget* owner, char* currentPath, QvDebugOutput* debugLog,
                    const std::function<void(const char*)>& load) const;

 private:
  void* handle_ = nullptr;  // never closed
  BrelithEntryFunction entry_ = nullptr;
  std::string loadedFrom_;
};
