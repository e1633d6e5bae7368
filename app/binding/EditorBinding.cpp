#include "app/binding/EditorBinding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QMessageBox>
#include <QString>

#include <cstring>

// Where an installed copy keeps the library: the folder under the build's
// install prefix, and the Debian package's folder.
#ifndef VARNAK_INSTALLED_LIBRARY_DIR
#define VARNAK_INSTALLED_LIBRARY_DIR "/usr/lib/varnak"
#endif

namespace {

constexpr const char* kInstalledLibraryDirs[] = {VARNAK_INSTALLED_LIBRARY_DIR, "/usr/lib/varnak"};

class BoxMessages : public IBindingMessages {
 public:
  void Warning(const std::string& caption, const std::string& text) override {
    QMessageBox::warning(nullptr, QString::fromLocal8Bit(caption), QString::fromLocal8Bit(text));
  }
};

}  // namespace

IBindingMessages* DefaultBindingMessages() {
  static BoxMessages messages;
  return &messages;
}

std::string ProgramDirectory() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash);
}

std::string MissingLibraryText(const std::string& libraryName) {
  return "Unable to " + libraryName +
         ". Be sure it is in your path or application directory and restart the application";
}

std::string MissingEntryText(const std::string& libraryName) {
  return "Unable to get Brelith entry point. Makes sure " + libraryName +
         " is valid and in the correct directory.";
}

bool EditorBinding::Bind(IBindingMessages* messages, const std::string& programDirectory,
                         const std::string& libraryName) {
  if (messages == nullptr) messages = DefaultBindingMessages();
  if (handle_ == nullptr) {
    // The program's own folder first, then the loader's search path, then the
    // folders an install puts it in.
    if (!programDirectory.empty()) {
      const std::string beside = programDirectory + "/" + libraryName;
      handle_ = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle_ != nullptr) loadedFrom_ = beside;
    }
    if (handle_ == nullptr && libraryName.find('/') == std::string::npos) {
      handle_ = ::dlopen(libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle_ != nullptr) loadedFrom_ = libraryName;
    }
    for (const char* folder : kInstalledLibraryDirs) {
      if (handle_ != nullptr || libraryName.find('/') != std::string::npos) break;
      const std::string installed = std::string(folder) + "/" + libraryName;
      handle_ = ::dlopen(installed.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle_ != nullptr) loadedFrom_ = installed;
    }
    if (handle_ == nullptr) {
      messages->Warning(kMissingLibraryCaption, MissingLibraryText(libraryName));
      return false;
    }
  }
  entry_ = reinterpret_cast<BrelithEntryFunction>(::dlsym(handle_, kBrelithEntryName));
  if (entry_ == nullptr) {
    messages->Warning(kMissingEntryCaption, MissingEntryText(libraryName));
    return false;
  }
  return true;
}

int EditorBinding::EditDefinition(QWidget* owner, char* currentPath, QvDebugOutput* debugLog,
                                  const std::function<void(const char*)>& load) const {
  if (entry_ == nullptr || currentPath == nullptr) return 0;
  const int result = entry_(owner, currentPath, debugLog, 0);
  currentPath[kEditorPathBuffer - 1] = '\0';
  if (result != 0 && load) load(currentPath);
  return result;
}

int EditorBinding::NewDefinition(QWidget* owner, char* currentPath, QvDebugOutput* debugLog,
                                 const std::function<void(const char*)>& load) const {
  if (entry_ == nullptr || currentPath == nullptr) return 0;
  char fresh[kEditorPathBuffer] = {};
  const int result = entry_(owner, fresh, debugLog, 0);
  if (result != 0) {
    const std::size_t n = ::strnlen(fresh, kEditorPathBuffer - 1);
    std::memcpy(currentPath, fresh, n);
    currentPath[n] = '\0';
    if (load) load(currentPath);
  }
  return result;
}
