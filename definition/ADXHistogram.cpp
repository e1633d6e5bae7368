#include "definition/ADXHistogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "definition/NumberText.h"

ADXHistogram::ADXHistogram() {
  objectType = ADX_TYPE_HISTOGRAM;
}

void ADXHistogram::RebuildAxis(ADXLookupTable& table, std::int32_t count, float min, float max) {
  if (count == 0 || max == min) return;
  table.SetOutputType(kLookupFloat);
  table.SetLookupMode(kLookupClosest);
  table.inputtype = kLookupFloat;
  table.ClearEntries();
  if (count < 0) return;
  if (count == 1) {
    table.AddEntry(min, 0.0f);
    return;
  }
  const float step = (max - min) / static_cast<float>(count - 1);
  for (std::int32_t i = 0; i < count; ++i) {
    table.AddEntry(min + static_cast<float>(i) * step, static_cast<float>(i));
  }
}

void ADXHistogram::Regrid() {
  history_.clear();
  stats_.clear();
  if (rows <= 0 || cols <= 0) return;
  const std::size_t cells = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
  try {
    history_.resize(cells);
    stats_.resize(cells);
  } catch (const std::exception&) {
    history_.clear();
    stats_.clear();
  }
}

void ADXHistogram::SetRows(std::int32_t n) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rows = n > kMaxHistogramAxis ? kMaxHistogramAxis : n;
    Regrid();
    FitHistoryToBudget();
  }
  RebuildAxis(rowTable_, rows, ymin, ymax);
}

void ADXHistogram::SetCols(std::int32_t n) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cols = n > kMaxHistogramAxis ? kMaxHistogramAxis : n;
    Regrid();
    FitHistoryToBudget();
  }
  RebuildAxis(colTable_, cols, xmin, xmax);
}

void ADXHistogram::SetXMin(float v) {
  xmin = v;
  RebuildAxis(colTable_, cols, xmin, xmax);
}
void ADXHistogram::SetXMax(float v) {
  xmax = v;
  RebuildAxis(colTable_, cols, xmin, xmax);
}
void ADXHistogram::SetYMin(float v) {
  ymin = v;
  RebuildAxis(rowTable_, rows, ymin, ymax);
}
void ADXHistogram::SetYMax(float v) {
  ymax = v;
  RebuildAxis(rowTable_, rows, ymin, ymax);
}

void ADXHistogram::SetHistorySize(std::int32_t n) {
  if (n <= 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& cell : history_) {
    cell.clear();
    cell.shrink_to_fit();
  }
  requestedHistory_ = n;
  FitHistoryToBudget();
}

void ADXHistogram::FitHistoryToBudget() {
  std::int64_t size = std::min(requestedHistory_, kMaxHistorySize);
  const std::int64_t cells = std::int64_t{rows > 0 ? rows : 1} * (cols > 0 ? cols : 1);
  const std::int64_t fits = static_cast<std::int64_t>(kHistogramHistoryBudgetBytes / sizeof(float)) / cells -
                            1;  // element 0 is the count
  size = std::max<std::int64_t>(1, std::min(size, fits));
  if (size != historysize_) {
    for (auto& cell : history_) {
      cell.clear();
      cell.shrink_to_fit();
    }
  }
  historysize_ = static_cast<std::int32_t>(size);
}

std::int32_t ADXHistogram::GetHistorySize() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return historysize_;
}

bool ADXHistogram::HistoryWasCut() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return historysize_ < requestedHistory_;
}

std::int32_t ADXHistogram::RequestedHistorySize() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestedHistory_;
}

namespace {
ADXValue* AsValue(ADXObject* object) {
  return object && object->objectType == ADX_TYPE_VALUE ? static_cast<ADXValue*>(object) : nullptr;
}
}  // namespace

void ADXHistogram::SetXValue(ADXObject* object) {
  xvalue = AsValue(object);
}
void ADXHistogram::SetYValue(ADXObject* object) {
  yvalue = AsValue(object);
}
void ADXHistogram::SetZValue(ADXObject* object) {
  zvalue = AsValue(object);
}

std::int32_t ADXHistogram::AxisIndex(const ADXLookupTable& table, std::int32_t count, double v) {
  // An axis of one breakpoint (or with no spread) puts everything in its only
  // row or column; the index is clamped so it can never leave the grid.
  if (count <= 1 || table.EntryCount() == 0) return 0;
  std::int32_t i = TruncToInt32(table.LookupNumber(static_cast<float>(v)));
  if (i < 0) i = 0;
  if (i >= count) i = count - 1;
  return i;
}

std::uint32_t ADXHistogram::AddSample(double x, double y, double z) {
  const std::int32_t rowCount = rows;
  const std::int32_t colCount = cols;
  if (rowCount <= 0 || colCount <= 0) return kNoSample;
  const std::int32_t row = AxisIndex(rowTable_, rowCount, y);
  const std::int32_t col = AxisIndex(colTable_, colCount, x);
  const float fz = static_cast<float>(z);

  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t cell = CellIndex(row, col);
  if (cell >= history_.size() || cell >= stats_.size()) return kNoSample;

  try {
    std::vector<float>& h = history_[cell];
    if (h.empty()) h.assign(static_cast<std::size_t>(historysize_) + 1, 0.0f);
    const auto kept = static_cast<std::int32_t>(h[0]);
    const std::int32_t move = kept >= historysize_ ? historysize_ - 1 : kept;
    for (std::int32_t i = move; i >= 1; --i)
      h[static_cast<std::size_t>(i) + 1] = h[static_cast<std::size_t>(i)];
    h[1] = fz;
    h[0] = static_cast<float>(kept + 1 > historysize_ ? historysize_ : kept + 1);

    std::unique_ptr<CellStats>& s = stats_[cell];
    if (!s) s = std::make_unique<CellStats>();
    if (fz > s->maximum) s->maximum = fz;
    if (fz < s->minimum) s->minimum = fz;
    s->average = (fz + s->average * static_cast<float>(s->count)) / static_cast<float>(s->count + 1);
    s->count += 1;
  } catch (const std::bad_alloc&) {
    return kNoSample;
  }
  ++samplecount_;
  return (static_cast<std::uint32_t>(col & 0xFFFF) << 16) | static_cast<std::uint32_t>(row & 0xFFFF);
}

std::uint32_t ADXHistogram::AddSampleFromPacket(const ADXDefinition* definition, const std::uint8_t* packet,
                                                std::size_t length, std::uint32_t commandHash) {
  if (packet == nullptr) return kNoSample;
  auto convert = [&](ADXValue* value) -> double {
    if (value == nullptr) return 0.0;
    const bool ours = value->parentcmdidhash == 0 || value->parentcmdidhash == commandHash;
    return value->Convert(definition, ours ? packet : nullptr, ours ? length : 0, 0, 0);
  };
  const double x = convert(xvalue);
  const double y = convert(yvalue);
  const double z = convert(zvalue);
  return AddSample(x, y, z);
}

void ADXHistogram::ClearData() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& cell : history_) {
    cell.clear();
    cell.shrink_to_fit();
  }
  for (auto& cell : stats_) cell.reset();
  samplecount_ = 0;
}

std::uint32_t ADXHistogram::SampleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return samplecount_;
}

bool ADXHistogram::CellStatistic(int kind, std::int32_t row, std::int32_t col, float* result) const {
  *result = 0.0f;
  std::lock_guard<std::mutex> lock(mutex_);
  if (row < 0 || col < 0 || row >= rows || col >= cols) return false;
  const std::size_t cell = CellIndex(row, col);
  if (cell >= history_.size() || cell >= stats_.size()) return false;
  const std::vector<float>& h = history_[cell];
  const CellStats* s = stats_[cell].get();
  switch (kind) {
    case kStatNewest:
    case kStatKept:
    case kStatMean:
    case kStatStdDev: {
      if (h.empty() || h[0] < 1.0f) return false;
      const auto n = static_cast<std::size_t>(h[0]);
      if (kind == kStatNewest) {
        *result = h[1];
      } else if (kind == kStatKept) {
        *result = static_cast<float>(n);
      } else {
        double sum = 0.0, squares = 0.0;
        for (std::size_t i = 1; i <= n; ++i) {
          sum += h[i];
          squares += static_cast<double>(h[i]) * h[i];
        }
        if (kind == kStatMean) {
          *result = static_cast<float>(sum / static_cast<double>(n));
        } else {
          const double variance =
              n > 1 ? (squares - sum * sum / static_cast<double>(n)) / static_cast<double>(n - 1) : 0.0;
          *result = n > 1 && variance > 0.002 ? static_cast<float>(std::sqrt(variance)) : 0.0f;
        }
      }
      return true;
    }
    case kStatCount:
    case kStatAverage:
    case kStatMinimum:
    case kStatMaximum:
    case kStatRange:
      if (s == nullptr) return false;
      if (kind == kStatCount) *result = static_cast<float>(s->count);
      if (kind == kStatAverage) *result = s->average;
      if (kind == kStatMinimum) *result = s->minimum;
      if (kind == kStatMaximum) *result = s->maximum;
      if (kind == kStatRange) *result = s->maximum - s->minimum;
      return true;
    default:
      return false;
  }
}

float ADXHistogram::GetCellStatistic(int kind, std::int32_t row, std::int32_t col, char* buffer,
                                     std::size_t size) const {
  float result = 0.0f;
  const bool available = CellStatistic(kind, row, col, &result);
  if (buffer != nullptr && size > 0) {
    buffer[0] = '\0';
    if (available) {
      const double r = result;
      if (std::isfinite(r) && r == std::trunc(r)) {
        // Whole numbers show without decimals, also beyond the int range.
        if (std::fabs(r) < 2147483648.0) {
          FormatInt(buffer, size, TruncToInt32(r));
        } else {
          FormatFixed(buffer, size, r, 0);
        }
      } else {
        FormatFixed(buffer, size, r, 3);
      }
    }
  }
  return result;
}
