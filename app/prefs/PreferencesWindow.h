// File > "Preferences...": a property tree container titled "Preferences"
// with three pages, "General", "COM Setup" and "Keyboard Accelerators".
// "General" holds the look (system, light or dark), the folder for
// recordings and the telemetry broker (host:port). "COM Setup" edits the
// number at the end of the serial device path (one or two digits) and lists
// the serial devices present to pick from. "Keyboard Accelerators" lists
// every command of the owner with its key. OK hands the port and the general
// preferences to the window; Cancel, Escape and the close box change nothing.
// A broker text that is not host:port keeps OK from closing and says why.
//
// While it is open the main window takes no input (the container is modal to
// it: Qt would disable an owned window together with a disabled owner).
//
// Thread contract: GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <string>

#include "controls/containers/QvPropTreeContainer.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QLineEdit;
class QListWidget;
class QWidget;

// The "General" page's preferences, as stored in the settings.
struct GeneralPreferences {
  std::string theme;  // "system", "light" or "dark"
  std::string recordingFolder;
  std::string broker;  // host:port or empty
  bool operator==(const GeneralPreferences&) const = default;
};

class PreferencesWindow : public QObject {
  Q_OBJECT

 public:
  static constexpr int kWidth = 150;
  static constexpr int kHeight = 100;

  // owner: the main window (its actions are the commands listed); port: the
  // device path in use; general: the general preferences in force.
  PreferencesWindow(QWidget* owner, std::string port, GeneralPreferences general = {});
  ~PreferencesWindow() override;

  // Shows the container centred on the owner with "COM Setup" selected.
  void Open();
  void raise();
  void close();

  QvPropTreeContainer* Container() const { return container_; }
  QLineEdit* PortNumberEdit() const { return number_; }
  QListWidget* DeviceList() const { return devices_; }
  // The device path OK would store now.
  std::string ChosenPort() const;
  // The general preferences OK would store now.
  GeneralPreferences ChosenGeneral() const;
  QComboBox* ThemeChoice() const { return theme_; }
  QLineEdit* BrokerEdit() const { return broker_; }
  QLineEdit* RecordingFolderEdit() const { return folder_; }
  QTreeWidget* KeyList() const { return keys_; }

 Q_SIGNALS:
  // OK was pressed; the port as the page shows it.
  void portChosen(const QString& port);
  // OK was pressed; the general preferences as the page shows them.
  void generalChosen(const GeneralPreferences& general);

 private:
  QWidget* MakeGeneralPage(QWidget* parent);
  QWidget* MakeComPage(QWidget* parent);
  QWidget* MakeKeyboardPage(QWidget* parent);
  int OnNotify(int code);

  QWidget* owner_;
  std::string port_;
  QPointer<QvPropTreeContainer> container_;
  QLineEdit* number_ = nullptr;
  QListWidget* devices_ = nullptr;
  QLabel* device_ = nullptr;
  GeneralPreferences general_;
  QComboBox* theme_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QLineEdit* broker_ = nullptr;
  QLabel* brokerNote_ = nullptr;
  QTreeWidget* keys_ = nullptr;
};
