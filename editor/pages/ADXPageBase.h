#pragma once
// What the pages share: the tab sheet with its "General" tab, the common
// fields "Title", "Unique ID" and "Description", and small makers for the
// fields of a page. Every control carries its dialog id as objectName, so code
// and tests find it by id.
//
// Thread contract: a page is used on the GUI thread only.
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/containers/QvTabSheet.h"
#include "editor/pages/ADXItemEditorBase.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;

class ADXPageBase : public ADXItemEditorBase {
  Q_OBJECT

 public:
  ~ADXPageBase() override;

  QWidget* PageWindow() const override;
  // Commits the common fields, then the page's own; 0 without an object.
  int Commit() override;
  // Loads the common fields, then the page's own; 0 without an object.
  int Load(ADXDefinition* definition, const ADXEditorItemRecord* record) override;
  // The common rule, and a decimal field that does not hold a number is
  // refused with a message naming it (the first such field).
  int Validate(char* message, std::size_t size) override;

  // The control with the id, or nullptr.
  template <typename T>
  T* Control(int id) const {
    return PageWindow()->findChild<T*>(QString::number(id));
  }

 protected:
  // Makes the hidden tab sheet (400 x 400) with the "General" tab; with
  // commonFields the tab starts with "Title", "Unique ID" and "Description".
  ADXPageBase(QWidget* parent, IEditorPageServices* services, bool commonFields);

  virtual void LoadFields() = 0;
  virtual void CommitFields() = 0;

  // Adds a further tab and returns its page widget.
  QWidget* AddTab(const char* title);
  QFormLayout* GeneralForm() const { return form_; }
  QWidget* GeneralTab() const { return general_; }
  bool Loading() const { return loading_; }

  // Field makers; each names the control by its id.
  static QLineEdit* AddLine(QFormLayout* form, const char* label, int id);
  static QCheckBox* AddCheck(QFormLayout* form, const char* text, int id);
  static QComboBox* AddCombo(QFormLayout* form, const char* label, int id);

  // Fills a command association drop-down: the first entry with value 0, then
  // every send command that processes its reply and every trigger that
  // triggerFits accepts, in definition order, by title with its IdHash.
  void FillCommandAssociation(QComboBox* combo, const char* first,
                              const std::function<bool(std::uint32_t triggertype)>& triggerFits) const;
  // Selects the entry carrying the value; none when no entry carries it.
  static void SelectByData(QComboBox* combo, std::uint32_t value);
  // The selected entry's value, or fallback when nothing is selected.
  static std::uint32_t SelectedData(const QComboBox* combo, std::uint32_t fallback);

  // A decimal field: shown with "%f", read as one whole number. A text that
  // is not a number leaves *target as it was and makes Validate refuse.
  static QString DecimalFieldText(double value);
  void ReadDecimalField(const QLineEdit* edit, const char* label, float* target);

  // The model's texts are bytes: shown as UTF-8 when they are valid UTF-8,
  // else as Latin-1 (TextBytes.h). A text that comes back unchanged keeps
  // the bytes it was shown from; anything typed is stored as UTF-8.
  static QString Text(const std::string& text);
  static std::string Bytes(const QString& text);

 private:
  QPointer<QvTabSheet> sheet_;  // owned; a parent destroyed first takes it along
  QWidget* general_;
  QFormLayout* form_;
  QLineEdit* title_ = nullptr;
  QLineEdit* id_ = nullptr;
  QPlainTextEdit* desc_ = nullptr;
  bool loading_ = false;
  std::string fieldError_;  // the first refused decimal field of the last commit
};
