#pragma once
// One QApplication for every test of a GUI test program (offscreen platform),
// created before the first test and destroyed after the last.
#include <QApplication>
#include <memory>

#include <gtest/gtest.h>

class QtTestApp : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "varnak-test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// Fontconfig keeps a few caches for the life of the process; they are not the
// program's leaks.
extern "C" inline const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
