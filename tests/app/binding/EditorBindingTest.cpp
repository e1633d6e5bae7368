// The program's binding to the editor library: where it looks, the two
// warnings, and the path rules of Edit Definition and New Definition.
#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/binding/EditorBinding.h"

namespace {

class RecordingMessages : public IBindingMessages {
 public:
  void Warning(const std::string& caption, const std::string& text) override {
    shown.emplace_back(caption, text);
  }
  std::vector<std::pair<std::string, std::string>> shown;
};

// The configuration functions of the stand-in editor loaded from file.
struct FakeControl {
  explicit FakeControl(const std::string& file) : handle(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    configure = reinterpret_cast<void (*)(int, const char*)>(::dlsym(handle, "FakeEditorConfigure"));
    seenPath = reinterpret_cast<const char* (*)()>(::dlsym(handle, "FakeEditorSeenPath"));
    seenOptions = reinterpret_cast<std::uint32_t (*)()>(::dlsym(handle, "FakeEditorSeenOptions"));
    calls = reinterpret_cast<int (*)()>(::dlsym(handle, "FakeEditorCalls"));
  }
  void* handle;
  void (*configure)(int, const char*);
  const char* (*seenPath)();
  std::uint32_t (*seenOptions)();
  int (*calls)();
};

class EditorBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // The stand-in, under the real library's name, in a "program folder".
    ASSERT_TRUE(QFile::copy(FAKE_EDITOR_FILE, QDir(dir_.path()).filePath("libBrelith.so")));
    ASSERT_TRUE(binding_.Bind(&messages_, dir_.path().toStdString()));
    fake_ = std::make_unique<FakeControl>(binding_.LoadedFrom());
    ASSERT_NE(fake_->configure, nullptr);
    std::strcpy(current_, "/defs/current.adx");
  }

  void Load(const char* path) { loads_.emplace_back(path); }

  QTemporaryDir dir_;
  RecordingMessages messages_;
  EditorBinding binding_;
  std::unique_ptr<FakeControl> fake_;
  char current_[kEditorPathBuffer] = {};
  std::vector<std::string> loads_;
};

TEST(EditorBindingWarnings, MissingLibraryNamesTheFileLookedFor) {
  QTemporaryDir empty;
  RecordingMessages messages;
  EditorBinding binding;
  EXPECT_FALSE(binding.Bind(&messages, empty.path().toStdString(), "libBrelithNowhere.so"));
  EXPECT_FALSE(binding.IsBound());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, "Quorlen");
  EXPECT_EQ(
      messages.shown[0].second,
      "Unable to libBrelithNowhere.so. Be sure it is in your path or application directory and restart the "
      "application");
}

TEST(EditorBindingWarnings, LibraryWithoutTheEntry) {
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(NO_ENTRY_FILE, QDir(folder.path()).filePath("libBrelith.so")));
  RecordingMessages messages;
  EditorBinding binding;
  EXPECT_FALSE(binding.Bind(&messages, folder.path().toStdString()));
  EXPECT_EQ(binding.Entry(), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, "Error");
  EXPECT_EQ(
      messages.shown[0].second,
      "Unable to get Brelith entry point. Makes sure libBrelith.so is valid and in the correct directory.");

  // Found on the search path when the program's folder lacks it: a system
  // library loads, but it has no entry either.
  RecordingMessages second;
  EditorBinding searched;
  EXPECT_FALSE(searched.Bind(&second, folder.path().toStdString() + "/none", "libm.so.6"));
  EXPECT_EQ(searched.LoadedFrom(), "libm.so.6");
  ASSERT_EQ(second.shown.size(), 1u);
  EXPECT_EQ(second.shown[0].first, "Error");
}

TEST(EditorBindingReal, TheEditorLibraryBindsFromItsFolder) {
  RecordingMessages messages;
  EditorBinding binding;
  ASSERT_TRUE(binding.Bind(&messages, BRELITH_DIR));
  EXPECT_NE(binding.Entry(), nullptr);
  EXPECT_EQ(binding.LoadedFrom(), std::string(BRELITH_DIR) + "/libBrelith.so");
  EXPECT_TRUE(messages.shown.empty());
}

TEST(EditorBindingWarnings, ProgramDirectoryIsTheTestsOwnFolder) {
  EXPECT_EQ(ProgramDirectory(), TEST_PROGRAM_DIR);
}

TEST_F(EditorBindingTest, TheProgramFolderIsSearchedFirst) {
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(binding_.LoadedFrom(), dir_.path().toStdString() + "/libBrelith.so");
}

TEST_F(EditorBindingTest, EditDefinitionWorksOnTheCurrentPathItself) {
  // Cancelled after a Save As elsewhere: the path follows, nothing loads.
  fake_->configure(0, "/defs/elsewhere.adx");
  EXPECT_EQ(binding_.EditDefinition(nullptr, current_, nullptr, [this](const char* p) { Load(p); }), 0);
  EXPECT_STREQ(fake_->seenPath(), "/defs/current.adx");
  EXPECT_EQ(fake_->seenOptions(), 0u);
  EXPECT_STREQ(current_, "/defs/elsewhere.adx");
  EXPECT_TRUE(loads_.empty());

  // A file that did not load in the editor comes back empty.
  fake_->configure(0, "");
  binding_.EditDefinition(nullptr, current_, nullptr, [this](const char* p) { Load(p); });
  EXPECT_STREQ(current_, "");

  // Saved: the current path is loaded.
  std::strcpy(current_, "/defs/current.adx");
  fake_->configure(1, nullptr);
  EXPECT_EQ(binding_.EditDefinition(nullptr, current_, nullptr, [this](const char* p) { Load(p); }), 1);
  ASSERT_EQ(loads_.size(), 1u);
  EXPECT_EQ(loads_[0], "/defs/current.adx");
}

TEST_F(EditorBindingTest, NewDefinitionStartsEmptyAndChangesNothingUnlessSaved) {
  fake_->configure(0, "/defs/abandoned.adx");
  EXPECT_EQ(binding_.NewDefinition(nullptr, current_, nullptr, [this](const char* p) { Load(p); }), 0);
  EXPECT_STREQ(fake_->seenPath(), "");
  EXPECT_STREQ(current_, "/defs/current.adx");
  EXPECT_TRUE(loads_.empty());

  const std::string longest(259, 'p');
  fake_->configure(1, longest.c_str());
  EXPECT_EQ(binding_.NewDefinition(nullptr, current_, nullptr, [this](const char* p) { Load(p); }), 1);
  EXPECT_EQ(std::string(current_), longest);
  ASSERT_EQ(loads_.size(), 1u);
  EXPECT_EQ(loads_[0], longest);
}

TEST(EditorBindingUnbound, CallsDoNothing) {
  EditorBinding binding;
  char path[kEditorPathBuffer] = "/x.adx";
  int loads = 0;
  EXPECT_EQ(binding.EditDefinition(nullptr, path, nullptr, [&](const char*) { ++loads; }), 0);
  EXPECT_EQ(binding.NewDefinition(nullptr, path, nullptr, [&](const char*) { ++loads; }), 0);
  EXPECT_EQ(loads, 0);
  EXPECT_STREQ(path, "/x.adx");
}

}  // namespace
