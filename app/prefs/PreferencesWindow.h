// File > "Preferences...": a property tree container titled "Preferences"
// with three pages, "General", "COM Setup" and "Keyboard Accelerators".
// "COM Setup" edits the number at the end of the serial device path (one or
// two digits) and lists the serial devices present to pick from; OK hands the
// resulting path to the window, Cancel and the close box change nothing.
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

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

class PreferencesWindow : public QObject {
  Q_OBJECT

 public:
  static constexpr int kWidth = 150;
  static constexpr int kHeight = 100;

  // owner: the main window; port: the device path in use.
  PreferencesWindow(QWidget* owner, std::string port);
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

 Q_SIGNALS:
  // OK was pressed; the port as the page shows it.
  void portChosen(const QString& port);

 private:
  QWidget* MakeComPage(QWidget* parent);
  int OnNotify(int code);

  QWidget* owner_;
  std::string port_;
  QPointer<QvPropTreeContainer> container_;
  QLineEdit* number_ = nullptr;
  QListWidget* devices_ = nullptr;
  QLabel* device_ = nullptr;
};
