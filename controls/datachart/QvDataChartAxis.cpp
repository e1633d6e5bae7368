#include "controls/datachart/QvDataChartAxis.h"

#include <cstring>

#include "controls/datachart/QvDataChart.h"

namespace {

QFont MakeFont(int pixelSize, QFont::Weight weight) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

}  // namespace

QvDataChartAxis::QvDataChartAxis(QvDataChart* chart)
    : chart_(chart), titleFont_(MakeFont(12, QFont::Normal)), labelFont_(MakeFont(14, QFont::Normal)) {}

void QvDataChartAxis::Relayout() {
  if (chart_) chart_->requestLayout();
}

void QvDataChartAxis::SetTitle(const std::string& title) {
  title_ = title;
  Relayout();
}

void QvDataChartAxis::SetVisibleRange(float min, float max) {
  visibleMin_ = min;
  visibleMax_ = max;
  Relayout();
}

void QvDataChartAxis::SetFullRange(float min, float max) {
  fullMin_ = min;
  fullMax_ = max;
  if (flags_ & kTicksFromFullMinimum) Relayout();
}

void QvDataChartAxis::SetTextColor(std::uint32_t color) {
  textColorSet_ = true;
  textColor_ = color;
  Relayout();
}

void QvDataChartAxis::SetLineColor(std::uint32_t color) {
  lineColorSet_ = true;
  lineColor_ = color;
  Relayout();
}

void QvDataChartAxis::SetDecimals(std::uint8_t decimals) {
  decimals_ = decimals;
  Relayout();
}

void QvDataChartAxis::SetFlags(std::uint32_t flags) {
  flags_ = flags;
  Relayout();
}

void QvDataChartAxis::SetLabelFormatter(QvDataChartLabelFormatter formatter) {
  formatter_ = std::move(formatter);
  Relayout();
}

void QvDataChartAxis::SetPosition(std::int32_t position) {
  if (position < DcAxisLeft || position > DcAxisBottom) return;
  position_ = position;
  // Left and right titles are drawn rotated; top and bottom ones upright and larger.
  titleFont_ = DcIsHorizontal(position) ? MakeFont(14, QFont::Normal) : MakeFont(12, QFont::Normal);
  Relayout();
}

void QvDataChartAxis::SetCursorValue(float value) {
  cursorValue_ = value;
  if (chart_ && (flags_ & kDrawCursor)) chart_->markDirty();
}

int QvDataChartAxis::ValueToPixel(float value) const {
  if (chart_) chart_->ensureLayout();
  return DcValueToPixel(IsHorizontal(), span_, visibleMin_, visibleMax_, value);
}

int QvDataChartAxis::GetOffset() const {
  if (chart_) chart_->ensureLayout();
  return offset_;
}

int QvDataChartAxis::GetWidth() const {
  if (chart_) chart_->ensureLayout();
  return width_;
}

const DcRect& QvDataChartAxis::GetPixelSpan() const {
  if (chart_) chart_->ensureLayout();
  return span_;
}

const DcTicks& QvDataChartAxis::GetTicks() const {
  if (chart_) chart_->ensureLayout();
  return ticks_;
}

std::string QvDataChartAxis::LabelText(float value) {
  if ((flags_ & kUseLabelFormatter) && formatter_) {
    char buffer[30] = {};
    int size = static_cast<int>(sizeof buffer);
    formatter_(chart_, this, value, buffer, &size);
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer, strnlen(buffer, sizeof buffer));
  }
  return DcFormatFixed(value, decimals_);
}

bool QvDataChartAxis::ScrollToInclude(float value) {
  if (!(flags_ & kScrollWithData)) return false;
  const DcScroll scroll = DcScrollToInclude(visibleMin_, visibleMax_, value, scrollMargin_);
  if (!scroll.moved) return false;
  const bool upward = scroll.max > visibleMax_;
  visibleMin_ = scroll.min;
  visibleMax_ = scroll.max;
  // The full range grows with the data in the direction of travel.
  if (upward) {
    fullMax_ = visibleMax_;
  } else {
    fullMin_ = visibleMin_;
  }
  return true;
}

void QvDataChartTimeLabel(QvDataChart*, QvDataChartAxis*, float value, char* buffer, int* size) {
  if (!buffer || !size || *size <= 0) return;
  const std::string text = DcFormatTimeLabel(value);
  const std::size_t capacity = static_cast<std::size_t>(*size);
  const std::size_t length = std::min(text.size(), capacity - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  *size = static_cast<int>(length);
}
