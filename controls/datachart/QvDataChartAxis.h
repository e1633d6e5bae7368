#pragma once
// One axis of a data chart: its place around the plot, its ranges, its look and
// the tick layout computed at each drawing. Axes are created and owned by their
// QvDataChart; the pointer handed out stays valid until the axis is removed or
// the chart is destroyed.
//
// Thread contract: GUI thread only, like the chart that owns it.
#include <QFont>
#include <cstdint>
#include <functional>
#include <string>

#include "controls/datachart/DataChartGeometry.h"

class QvDataChart;

// Writes the label of `value` into `buffer`. On entry `*size` is the buffer's
// capacity, on return the length written. The chart terminates the buffer
// itself, so a formatter that fills it completely cannot overrun.
using QvDataChartLabelFormatter = std::function<void(QvDataChart* chart, class QvDataChartAxis* axis,
                                                     float value, char* buffer, int* size)>;

// Changes that alter the axis' drawing (titles, ranges, position, colours,
// flags, formatter) make the chart lay out again before its next paint, so
// labels always match the data drawn against them.
class QvDataChartAxis {
 public:
  // Axis flags.
  static constexpr std::uint32_t kTicksFromFullMinimum = 0x1;
  static constexpr std::uint32_t kScrollWithData = 0x10;
  static constexpr std::uint32_t kUseLabelFormatter = 0x20;
  static constexpr std::uint32_t kDrawCursor = 0x40;

  static constexpr std::size_t kMaxTitleShown = 99;

  explicit QvDataChartAxis(QvDataChart* chart);
  QvDataChartAxis(const QvDataChartAxis&) = delete;
  QvDataChartAxis& operator=(const QvDataChartAxis&) = delete;

  QvDataChart* GetChart() const { return chart_; }

  void SetTitle(const std::string& title);
  const std::string& GetTitle() const { return title_; }

  void SetVisibleRange(float min, float max);
  void SetFullRange(float min, float max);
  float GetVisibleMin() const { return visibleMin_; }
  float GetVisibleMax() const { return visibleMax_; }
  float GetFullMin() const { return fullMin_; }
  float GetFullMax() const { return fullMax_; }

  // Sets the side of the plot; also replaces the title font (upright 14 for
  // top and bottom, rotated 12 for left and right). Unknown positions are
  // ignored.
  void SetPosition(std::int32_t position);
  std::int32_t GetPosition() const { return position_; }
  bool IsHorizontal() const { return DcIsHorizontal(position_); }

  void SetTextColor(std::uint32_t color);
  std::uint32_t GetTextColor() const { return textColor_; }
  void SetLineColor(std::uint32_t color);
  std::uint32_t GetLineColor() const { return lineColor_; }
  void SetDecimals(std::uint8_t decimals);
  std::uint8_t GetDecimals() const { return decimals_; }
  void SetScrollMargin(std::uint8_t percent) { scrollMargin_ = percent; }
  std::uint8_t GetScrollMargin() const { return scrollMargin_; }
  void SetFlags(std::uint32_t flags);
  std::uint32_t GetFlags() const { return flags_; }
  void SetCursorValue(float value);
  float GetCursorValue() const { return cursorValue_; }
  void SetLabelFormatter(QvDataChartLabelFormatter formatter);

  // Pixel coordinate of a value through the visible range and the pixel span
  // of the last layout (x for horizontal axes, y for vertical ones).
  int ValueToPixel(float value) const;

  // Layout results (the chart lays out first when a change is pending).
  int GetOffset() const;
  int GetWidth() const;
  const DcRect& GetPixelSpan() const;
  const DcTicks& GetTicks() const;

  // The text of a label: the formatter's with flag 0x20, else "%.*f".
  std::string LabelText(float value);

  const QFont& GetTitleFont() const { return titleFont_; }
  const QFont& GetLabelFont() const { return labelFont_; }

 private:
  friend class QvDataChart;
  friend class QvDataChartSeries;

  void Relayout();
  // Moves the visible range to take in `value` when the axis scrolls with new
  // data; returns true when it moved (the full range follows).
  bool ScrollToInclude(float value);

  QvDataChart* chart_;
  std::int32_t position_ = DcAxisLeft;
  std::string title_;
  QFont titleFont_;
  std::uint32_t textColor_ = 0;
  std::uint32_t lineColor_ = 0;
  // Colours set by the caller are kept in every theme; unset ones follow it.
  bool textColorSet_ = false;
  bool lineColorSet_ = false;
  std::uint8_t decimals_ = 2;
  std::uint8_t scrollMargin_ = 15;
  int offset_ = 0;
  int width_ = 0;
  float cursorValue_ = 0.0f;
  float fullMin_ = 0.0f;
  float fullMax_ = 255.0f;
  float visibleMin_ = 0.0f;
  float visibleMax_ = 255.0f;
  DcRect span_;
  DcTicks ticks_;
  QFont labelFont_;
  std::uint32_t flags_ = 0;
  QvDataChartLabelFormatter formatter_;
};

// The label formatter of the monitor panes' time axes ("M:SS").
void QvDataChartTimeLabel(QvDataChart* chart, QvDataChartAxis* axis, float value, char* buffer, int* size);
