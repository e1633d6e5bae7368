// The entry as a caller sees it: the real library loaded with dlopen, the
// modal editor answered from a timer, the path buffer rules.
#include <dlfcn.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "editor/entry/BrelithEntry.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtTestApp);

BrelithEntryFunction LoadEntry() {
  void* handle = ::dlopen(BRELITH_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<BrelithEntryFunction>(::dlsym(handle, kBrelithEntryName));
}

// Closes the editor as soon as its loop runs, with the window's close box.
void CloseEditorSoon(QString* title = nullptr) {
  QTimer::singleShot(0, [title] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    if (title != nullptr) *title = modal->windowTitle();
    modal->close();
  });
}

TEST(BrelithEntry, AMissingFileComesBackAsAnEmptyPath) {
  BrelithEntryFunction entry = LoadEntry();
  ASSERT_NE(entry, nullptr) << ::dlerror();
  char path[260];
  std::memset(path, 0, sizeof path);
  std::strcpy(path, "/nonexistent/folder/none.adx");
  QString title;
  CloseEditorSoon(&title);
  EXPECT_EQ(entry(nullptr, path, nullptr, 0), 0);
  EXPECT_EQ(title, "Brelith - New ADX File");
  EXPECT_STREQ(path, "");
}

TEST(BrelithEntry, ALoadedFileKeepsItsPathWhenCancelled) {
  BrelithEntryFunction entry = LoadEntry();
  ASSERT_NE(entry, nullptr);
  QTemporaryDir dir;
  const std::string file = QDir(dir.path()).filePath("mini.adx").toStdString();
  {
    std::ofstream out(file);
    out << "<ADXFORMAT version=\"0.50\" />\n<ADXHEADER>\n<baud>8192</baud>\n</ADXHEADER>\n";
  }
  char path[260] = {};
  std::strcpy(path, file.c_str());
  QWidget owner;
  CloseEditorSoon();
  EXPECT_EQ(entry(&owner, path, nullptr, 0), 0);
  EXPECT_EQ(std::string(path), file);
}

TEST(BrelithEntry, AnUnterminatedBufferIsReadOnlyToItsEnd) {
  BrelithEntryFunction entry = LoadEntry();
  ASSERT_NE(entry, nullptr);
  char path[260];
  std::memset(path, 'a', sizeof path);  // no terminator anywhere
  CloseEditorSoon();
  EXPECT_EQ(entry(nullptr, path, nullptr, 1), 0);
  EXPECT_STREQ(path, "");
  CloseEditorSoon();
  EXPECT_EQ(entry(nullptr, nullptr, nullptr, 0), 0) << "a null path is a new definition";
}

}  // namespace
