#include "app/window/StatusFields.h"

#include <QLabel>
#include <QStatusBar>

#include <string>

#include "app/window/WindowTexts.h"
#include "controls/containers/QvRichStatic.h"
#include "controls/gauges/QvTextProgress.h"

StatusFields::StatusFields(QStatusBar* bar) {
  state_ = new QvRichStatic(bar);
  state_->setObjectName(QStringLiteral("StatusState"));
  state_->setFixedWidth(kPartWidth);
  figures_ = new QvTextProgress(bar);
  figures_->setObjectName(QStringLiteral("StatusFigures"));
  figures_->setFixedWidth(kPartWidth);
  figures_->setPos(0);
  bar->addWidget(state_);
  bar->addWidget(figures_);
  // Parts 2 and 3 are empty.
  auto* third = new QLabel(bar);
  third->setFixedWidth(kPartWidth);
  bar->addWidget(third);
  bar->addWidget(new QLabel(bar), 1);
}

void StatusFields::Show(const StatusLineInput& input) {
  const StatusLook look = StatusStateLook(input.logState, input.connectionState);
  state_->setTextAndColors(look.text.c_str(), look.textColor, look.backColor);
  if (const std::optional<std::string> figures = StatusFiguresText(input))
    figures_->setText(figures->c_str());
}

void StatusFields::Flash(std::string_view text, std::uint32_t textColor, std::uint32_t backColor,
                         int milliseconds) {
  const std::string copy(text);
  state_->showTemporaryText(copy.c_str(), textColor, backColor, milliseconds);
}

void StatusFields::SetRange(int low, int high) {
  figures_->setRange32(low, high);
}
void StatusFields::Step() {
  figures_->stepIt();
}
void StatusFields::SetPos(int position) {
  figures_->setPos(position);
}
