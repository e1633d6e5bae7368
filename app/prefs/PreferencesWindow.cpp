#include "app/prefs/PreferencesWindow.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>
#include "app/prefs/PortPath.h"
#include "app/prefs/SerialDevices.h"
#include "app/settings/AppSettings.h"
#include "app/window/AboutBox.h"
#include "controls/containers/QvPropTreeContainer.h"

namespace {

struct CommandKey {
  QString text;
  QString key;
};

// Every command of the window with its key: the entry's text without its
// Alt mark, and the key its menu shows (the one really bound).
std::vector<CommandKey> CommandKeys(const QWidget* owner) {
  std::vector<CommandKey> keys;
  if (owner == nullptr) return keys;
  for (const QAction* action : owner->actions()) {
    if (action->isSeparator() || action->text().isEmpty()) continue;
    QString text = action->text();
    QString key;
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
      key = text.mid(tab + 1).trimmed();
      text = text.left(tab);
    } else if (!action->shortcut().isEmpty()) {
      key = action->shortcut().toString(QKeySequence::NativeText);
    }
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    keys.push_back({text, key});
  }
  return keys;
}

QWidget* MakeTextPage(QWidget* parent, const char* text, QWidget* extra = nullptr) {
  auto* page = new QWidget(parent);
  auto* layout = new QVBoxLayout(page);
  auto* label = new QLabel(QString::fromLatin1(text), page);
  label->setWordWrap(true);
  layout->addWidget(label);
  if (extra != nullptr) {
    extra->setParent(page);
    layout->addWidget(extra);
  }
  layout->addStretch(1);
  return page;
}

}  // namespace

PreferencesWindow::PreferencesWindow(QWidget* owner, std::string port, GeneralPreferences general)
    : QObject(owner), owner_(owner), port_(std::move(port)), general_(std::move(general)) {
  container_ = new QvPropTreeContainer(owner, kWidth, kHeight, QStringLiteral("Preferences"));
  container_->setWindowModality(Qt::WindowModal);
  container_->setNotifyHandler([this](int code) { return OnNotify(code); });
  // The container deletes itself when it closes; this object goes with it.
  connect(container_, &QObject::destroyed, this, &QObject::deleteLater);

  container_->addTreePage([this](QWidget* parent) { return MakeGeneralPage(parent); }, "General", "", "");
  container_->addTreePage([this](QWidget* parent) { return MakeComPage(parent); }, "COM Setup", "",
                          "General");
  container_->addTreePage([this](QWidget* parent) { return MakeKeyboardPage(parent); },
                          "Keyboard Accelerators", "", "COM Setup");
  container_->selectTreeItem("COM Setup");
  // Escape is Cancel.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), container_);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, container_, [this] {
    if (container_) container_->pressCancel();
  });
}

PreferencesWindow::~PreferencesWindow() {
  if (container_) container_->deleteLater();
}

QWidget* PreferencesWindow::MakeGeneralPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("General Prefs"), page));
  auto* form = new QFormLayout;
  theme_ = new QComboBox(page);
  theme_->setObjectName(QStringLiteral("theme"));
  theme_->addItem(QStringLiteral("As the desktop"), QStringLiteral("system"));
  theme_->addItem(QStringLiteral("Light"), QStringLiteral("light"));
  theme_->addItem(QStringLiteral("Dark"), QStringLiteral("dark"));
  const int themeIndex = theme_->findData(QString::fromStdString(general_.theme));
  theme_->setCurrentIndex(themeIndex >= 0 ? themeIndex : 0);
  form->addRow(QStringLiteral("&Theme:"), theme_);

  auto* folderRow = new QHBoxLayout;
  folder_ = new QLineEdit(QString::fromStdString(general_.recordingFolder), page);
  folder_->setObjectName(QStringLiteral("recordingfolder"));
  folder_->setPlaceholderText(QStringLiteral("the program's default"));
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), page);
  connect(browse, &QPushButton::clicked, page, [this, page] {
    const QString chosen =
        QFileDialog::getExistingDirectory(page, QStringLiteral("Folder for recordings"), folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
  });
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);
  form->addRow(QStringLiteral("&Recordings:"), folderRow);

  broker_ = new QLineEdit(QString::fromStdString(general_.broker), page);
  broker_->setObjectName(QStringLiteral("broker"));
  broker_->setPlaceholderText(QStringLiteral("host:port, e.g. 127.0.0.1:1883"));
  form->addRow(QStringLiteral("Telemetry &broker:"), broker_);
  layout->addLayout(form);
  brokerNote_ = new QLabel(page);
  brokerNote_->setObjectName(QStringLiteral("brokerNote"));
  brokerNote_->setWordWrap(true);
  layout->addWidget(brokerNote_);
  auto* note = new QLabel(QStringLiteral("The recordings folder is used from the next start on."), page);
  note->setWordWrap(true);
  layout->addWidget(note);
  layout->addStretch(1);
  return page;
}

QWidget* PreferencesWindow::MakeKeyboardPage(QWidget* parent) {
  auto* hotKey = new QKeySequenceEdit;
  hotKey->setObjectName(QStringLiteral("1011"));
  QWidget* page = MakeTextPage(
      parent, "Keyboard Accelerator Configuration n' Junk (Non-functional at the moment)", hotKey);
  keys_ = new QTreeWidget(page);
  keys_->setObjectName(QStringLiteral("keys"));
  keys_->setRootIsDecorated(false);
  keys_->setHeaderLabels({QStringLiteral("Command"), QStringLiteral("Key")});
  for (const CommandKey& command : CommandKeys(owner_)) {
    auto* item = new QTreeWidgetItem(keys_);
    item->setText(0, command.text);
    item->setText(1, command.key);
  }
  keys_->resizeColumnToContents(0);
  // Above the stretch that MakeTextPage put last.
  auto* layout = static_cast<QVBoxLayout*>(page->layout());
  layout->insertWidget(layout->count() - 1, keys_, 1);
  return page;
}

QWidget* PreferencesWindow::MakeComPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("COM Port Number:"), page));
  number_ = new QLineEdit(page);
  number_->setObjectName(QStringLiteral("1001"));
  number_->setMaxLength(2);
  number_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), number_));
  if (const auto n = PortNumberOf(port_)) number_->setText(QString::number(*n));
  layout->addWidget(number_);
  device_ = new QLabel(page);
  device_->setObjectName(QStringLiteral("device"));
  layout->addWidget(device_);
  layout->addWidget(new QLabel(QStringLiteral("Serial devices present:"), page));
  devices_ = new QListWidget(page);
  devices_->setObjectName(QStringLiteral("devices"));
  for (const std::string& path : ListSerialDevices()) devices_->addItem(QString::fromStdString(path));
  layout->addWidget(devices_, 1);

  auto showDevice = [this] { device_->setText(QString::fromStdString(ChosenPort())); };
  connect(number_, &QLineEdit::textChanged, page, showDevice);
  connect(devices_, &QListWidget::currentTextChanged, page, [this, showDevice](const QString& text) {
    if (text.isEmpty()) return;
    port_ = text.toStdString();
    const auto n = PortNumberOf(port_);
    number_->setText(n ? QString::number(*n) : QString());
    showDevice();
  });
  showDevice();
  return page;
}

std::string PreferencesWindow::ChosenPort() const {
  if (number_ == nullptr || number_->text().isEmpty()) return port_;
  return WithPortNumber(port_, number_->text().toInt());
}

GeneralPreferences PreferencesWindow::ChosenGeneral() const {
  GeneralPreferences chosen = general_;
  if (theme_ != nullptr) chosen.theme = theme_->currentData().toString().toStdString();
  if (folder_ != nullptr) chosen.recordingFolder = folder_->text().trimmed().toStdString();
  if (broker_ != nullptr) chosen.broker = broker_->text().trimmed().toStdString();
  return chosen;
}

int PreferencesWindow::OnNotify(int code) {
  if (code == QvPropTreeContainer::kNotifyOk) {
    const GeneralPreferences general = ChosenGeneral();
    if (!BrokerTextValid(general.broker)) {
      // Stays open on the page with the text to correct.
      brokerNote_->setText(QStringLiteral("The broker must be host:port with a port from 1 to 65535."));
      container_->selectTreeItem("General");
      broker_->setFocus();
      return 0;
    }
    Q_EMIT portChosen(QString::fromStdString(ChosenPort()));
    Q_EMIT generalChosen(general);
    return 1;
  }
  if (code == QvPropTreeContainer::kNotifyCancel) return 1;
  return 0;
}

void PreferencesWindow::Open() {
  container_->show();
  container_->move(CentredPosition(owner_->frameGeometry(), container_->frameGeometry().size()));
  container_->raise();
  container_->activateWindow();
}

void PreferencesWindow::raise() {
  if (container_) container_->raise();
}

void PreferencesWindow::close() {
  if (container_) container_->close();
}
