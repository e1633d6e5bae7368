#include "app/prefs/PreferencesWindow.h"

#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/prefs/PortPath.h"
#include "app/prefs/SerialDevices.h"
#include "app/window/AboutBox.h"
#include "controls/containers/QvPropTreeContainer.h"

namespace {

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

PreferencesWindow::PreferencesWindow(QWidget* owner, std::string port)
    : QObject(owner), owner_(owner), port_(std::move(port)) {
  container_ = new QvPropTreeContainer(owner, kWidth, kHeight, QStringLiteral("Preferences"));
  container_->setWindowModality(Qt::WindowModal);
  container_->setNotifyHandler([this](int code) { return OnNotify(code); });
  // The container deletes itself when it closes; this object goes with it.
  connect(container_, &QObject::destroyed, this, &QObject::deleteLater);

  container_->addTreePage([](QWidget* parent) { return MakeTextPage(parent, "General Prefs"); }, "General",
                          "", "");
  container_->addTreePage([this](QWidget* parent) { return MakeComPage(parent); }, "COM Setup", "",
                          "General");
  container_->addTreePage(
      [](QWidget* parent) {
        auto* hotKey = new QKeySequenceEdit;
        hotKey->setObjectName(QStringLiteral("1011"));
        return MakeTextPage(
            parent, "Keyboard Accelerator Configuration n' Junk (Non-functional at the moment)", hotKey);
      },
      "Keyboard Accelerators", "", "COM Setup");
  container_->selectTreeItem("COM Setup");
}

PreferencesWindow::~PreferencesWindow() {
  if (container_) container_->deleteLater();
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

int PreferencesWindow::OnNotify(int code) {
  if (code == QvPropTreeContainer::kNotifyOk) {
    Q_EMIT portChosen(QString::fromStdString(ChosenPort()));
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
