#pragma once
// Shared pieces of the page tests: services that record what a page asked for
// instead of opening modal windows, lookups of a page's controls by id, and a
// saved-and-loaded copy of a definition.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "editor/pages/ADXItemEditorBase.h"

class FakePageServices : public IEditorPageServices {
 public:
  void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
    messages.emplace_back(caption, text);
  }
  int BrowseItems(QWidget*, ADXDefinition*, std::uint32_t mask, bool single,
                  std::vector<ADXObject*>* chosen) override {
    browseMasks.push_back(mask);
    browseSingle.push_back(single);
    if (!browseConfirms) return 0;
    *chosen = browseResult;
    return 1;
  }
  bool ChooseColor(QWidget*, const QColor&, QColor* chosen) override {
    if (!color.isValid()) return false;
    *chosen = color;
    return true;
  }
  bool EditEquation(QWidget*, const QString& initial, QString* edited) override {
    equationShown.push_back(initial);
    if (!equationConfirms) return false;
    *edited = equation;
    return true;
  }

  std::vector<std::pair<QString, QString>> messages;
  std::vector<std::uint32_t> browseMasks;
  std::vector<bool> browseSingle;
  std::vector<ADXObject*> browseResult;
  bool browseConfirms = true;
  QColor color;
  QString equation;
  bool equationConfirms = true;
  std::vector<QString> equationShown;
};

// A page made by the factory, with recorded services, on a parent window.
struct TestPage {
  explicit TestPage(std::uint32_t type) : window(std::make_unique<QWidget>()) {
    page = CreateItemEditor(type, window.get(), &services);
  }
  template <typename T>
  T* C(int id) const {
    T* control = page->PageWindow()->findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
  }
  int Load(ADXDefinition* definition, ADXObject* object, int kind = ADXEditorItemRecord::kObject) {
    ADXEditorItemRecord record;
    record.kind = kind;
    record.object = object;
    return page->Load(definition, &record);
  }
  void SetText(int id, const char* text) { C<QLineEdit>(id)->setText(text); }
  void SetCommon(const char* title, const char* id, const char* desc) {
    SetText(1006, title);
    SetText(1008, id);
    C<QPlainTextEdit>(1007)->setPlainText(desc);
  }
  // Chooses the drop-down entry whose text is text, as the user would.
  void Choose(int id, const char* text) {
    QComboBox* combo = C<QComboBox>(id);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text;
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
  }

  FakePageServices services;
  std::unique_ptr<QWidget> window;
  std::unique_ptr<ADXItemEditorBase> page;
};

// A private folder for saved files, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pagetest.XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  std::string File(const char* name) const { return (std::filesystem::path(path_) / name).string(); }

 private:
  std::string path_;
};

// Saves the definition and loads it into a fresh one.
inline std::unique_ptr<ADXDefinition> SaveAndLoad(const ADXDefinition& definition) {
  ScratchDir dir;
  const std::string path = dir.File("page.adx");
  EXPECT_EQ(SaveAdx(&definition, path.c_str(), nullptr), 1);
  auto loaded = std::make_unique<ADXDefinition>();
  char error[256] = {};
  EXPECT_EQ(LoadAdx(loaded.get(), path.c_str(), error, sizeof(error), nullptr), 1) << error;
  return loaded;
}

template <typename T>
T* Add(ADXDefinition& definition, const char* id, const char* title) {
  auto object = std::make_unique<T>();
  object->SetId(id);
  object->SetTitle(title, std::char_traits<char>::length(title));
  T* raw = object.get();
  definition.Append(std::move(object));
  return raw;
}
