// A stand-in editor library: its BrelithEntry records what it was given and
// answers as the test configured it.
#include <cstdint>
#include <cstring>
#include <string>

class QWidget;
class QvDebugOutput;

namespace {
int g_result = 0;
std::string g_writePath;
bool g_write = false;
std::string g_seenPath;
std::uint32_t g_seenOptions = 0xFFFFFFFFu;
int g_calls = 0;
}  // namespace

extern "C" {

__attribute__((visibility("default"))) void FakeEditorConfigure(int result, const char* writePath) {
  g_result = result;
  g_write = writePath != nullptr;
  g_writePath = writePath ? writePath : "";
  g_calls = 0;
}

__attribute__((visibility("default"))) const char* FakeEditorSeenPath() {
  return g_seenPath.c_str();
}
__attribute__((visibility("default"))) std::uint32_t FakeEditorSeenOptions() {
  return g_seenOptions;
}
__attribute__((visibility("default"))) int FakeEditorCalls() {
  return g_calls;
}

__attribute__((visibility("default"))) std::int32_t BrelithEntry(QWidget*, char* path, QvDebugOutput*,
                                                                 std::uint32_t options) {
  ++g_calls;
  g_seenPath = path ? std::string(path, ::strnlen(path, 259)) : std::string("(null)");
  g_seenOptions = options;
  if (path != nullptr && g_write) {
    const std::size_t n = std::min<std::size_t>(g_writePath.size(), 259);
    std::memcpy(path, g_writePath.data(), n);
    path[n] = '\0';
  }
  return g_result;
}
}
