#include "app/window/LogControlBar.h"

#include <QAction>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolBar>

#include "app/window/CommandIds.h"
#include "app/window/ToolbarImages.h"
#include "app/window/WindowTexts.h"

LogControlBar::LogControlBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("10007"));
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("10008"));
  toolbar_->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  struct Button {
    int id;
    int image;
    const char* tip;
  };
  for (const Button& b :
       {Button{cmd::kBarRecord, 19, "Begin Recording"}, Button{cmd::kBarPlay, 20, "Play Current Log Session"},
        Button{cmd::kBarPause, 21, "Pause Playback of Log Session"},
        Button{cmd::kBarStop, 22, "Stop Playback of Current Log Session"},
        Button{cmd::kBarLoadLog, 23, "Select a Log Session to Play"}}) {
    QAction* action = toolbar_->addAction(ToolbarIcon(b.image), QString());
    action->setToolTip(QString::fromLatin1(b.tip));
    action->setObjectName(QString::number(b.id));
    const int id = b.id;
    connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
    buttons_[b.id] = action;
  }
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("1008"));
  slider_->setRange(0, 0);
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    if (!settingSlider_) Q_EMIT sliderMovedByUser(value);
  });
  setMinimumHeight(21);
  toolbar_->setGeometry(0, 0, ToolbarWidth(), kToolbarHeight);
}

int LogControlBar::ToolbarWidth() const {
  // The five buttons are never cut off, whatever the style's button size.
  return std::max(kToolbarWidth, toolbar_->sizeHint().width());
}

QAction* LogControlBar::Button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

void LogControlBar::Apply(const LoggerToolbarState& state) {
  buttons_[cmd::kBarPlay]->setEnabled(state.play);
  buttons_[cmd::kBarRecord]->setEnabled(state.record);
  buttons_[cmd::kBarStop]->setEnabled(state.stop);
  buttons_[cmd::kBarPause]->setEnabled(state.pause);
  buttons_[cmd::kBarLoadLog]->setEnabled(state.loadLog);
  slider_->setEnabled(state.slider);
}

void LogControlBar::SetSliderRange(int maximum) {
  settingSlider_ = true;
  slider_->setRange(0, std::max(0, maximum));
  settingSlider_ = false;
}

void LogControlBar::SetSliderPosition(int position) {
  settingSlider_ = true;
  slider_->setValue(position);
  settingSlider_ = false;
}

void LogControlBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int toolbarHeight = std::min(kToolbarHeight, height());
  toolbar_->setGeometry(0, 0, ToolbarWidth(), toolbarHeight);
  const SliderPlace place = LogSliderPlace(width(), toolbar_->geometry().x() + toolbar_->width());
  slider_->setGeometry(place.x, 0, place.width, toolbarHeight);
}
