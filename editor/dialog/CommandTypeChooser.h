#pragma once
// "Command Type Chooser...": the list of command kinds the user picks from
// when adding a command.
//
// Thread contract: GUI thread only.
#include <QDialog>

#include <cstdint>
#include <vector>

class QListWidget;

struct CommandTypeChoice {
  const char* text;
  std::uint32_t type;
  const char* newTitle;  // the title a new command of the type gets
};

// The six entries in list order.
const std::vector<CommandTypeChoice>& CommandTypeChoices();
// The title of a new command of the type; nullptr for a type not in the list.
const char* NewCommandTitle(std::uint32_t type);

class CommandTypeChooser : public QDialog {
  Q_OBJECT

 public:
  explicit CommandTypeChooser(QWidget* parent);
  QListWidget* List() const { return list_; }
  // The type of the selected entry, or 0 when nothing is selected.
  std::uint32_t SelectedType() const;
  // Runs the chooser: the selected type on OK (0 with no selection), 0 on Cancel.
  static std::uint32_t Choose(QWidget* parent);

 private:
  QListWidget* list_;
};
