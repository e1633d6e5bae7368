#pragma once
// A two-dimensional grid over two values, x across the columns and y down the
// rows, that accumulates a third value, z: each cell keeps the recent history
// of z and running statistics (count, average, minimum, maximum).
//
// Thread contract: configuration setters (rows, columns, ranges, value
// references) are used only while no data arrives. AddSample and
// AddSampleFromPacket run on the acquisition (or playback) thread while the
// GUI thread calls GetCellStatistic, ClearData, SetHistorySize and
// GetHistorySize; mutex_ guards the history grid, the statistics grid, the
// sample count and the history size. The axis lookups of AddSample run before
// the lock is taken (the axis tables are read-only while data arrives).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "definition/ADXLookupTable.h"
#include "definition/ADXObject.h"

class ADXDefinition;
class ADXValue;

constexpr std::int32_t kDefaultHistorySize = 10;
// Limits that keep a damaged or hostile file from asking for grids or
// histories that cannot be held in memory: larger counts are cut to these.
constexpr std::int32_t kMaxHistogramAxis = 512;
constexpr std::int32_t kMaxHistorySize = 4096;
// Memory budget of one histogram's history grid: rows * cols * (history size
// + 1) floats stay within 64 MiB. A larger history is cut to what fits the
// grid (HistoryWasCut tells); the other per-cell data add at most about
// 48 bytes per cell (12 MiB for the largest grid).
constexpr std::size_t kHistogramHistoryBudgetBytes = std::size_t{64} << 20;
constexpr std::uint32_t kNoSample = 0xFFFFFFFFu;

// Statistic kinds of GetCellStatistic.
constexpr int kStatNewest = 0;
constexpr int kStatKept = 1;
constexpr int kStatMean = 2;
constexpr int kStatStdDev = 3;
constexpr int kStatCount = 7;
constexpr int kStatAverage = 8;
constexpr int kStatMinimum = 9;
constexpr int kStatMaximum = 10;
constexpr int kStatRange = 11;

struct CellStats {
  float minimum = 3.4028235e38f;
  float maximum = -3.4028235e38f;
  std::uint32_t count = 0;
  float average = 0.0f;
};

class ADXHistogram : public ADXObject {
 public:
  ADXHistogram();
  // Writes the object as its ADX element; 0 for a failed write (1 for no writer).
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  // Store the count (cut to kMaxHistogramAxis), re-grid (all cells emptied)
  // and rebuild the axis table.
  void SetRows(std::int32_t n);
  void SetCols(std::int32_t n);
  void SetXMin(float v);
  void SetXMax(float v);
  void SetYMin(float v);
  void SetYMax(float v);
  // n <= 0 is ignored; otherwise empties every history cell and stores n
  // (cut to kMaxHistorySize and to the memory budget of the grid).
  void SetHistorySize(std::int32_t n);
  std::int32_t GetHistorySize() const;
  // True when the history size asked for did not fit the memory budget of
  // the grid and was cut; RequestedHistorySize is what was asked for.
  bool HistoryWasCut() const;
  std::int32_t RequestedHistorySize() const;
  // Only values are accepted; anything else (or none) clears the reference.
  void SetXValue(ADXObject* object);
  void SetYValue(ADXObject* object);
  void SetZValue(ADXObject* object);

  // Adds z to the cell that x and y select; returns (column << 16) | row.
  // Samples while rows or cols is 0 are ignored (returns kNoSample).
  std::uint32_t AddSample(double x, double y, double z);
  // Converts x, y and z from the packet (values of other commands from their
  // last raw values) and adds the sample. No packet: kNoSample, nothing added.
  std::uint32_t AddSampleFromPacket(const ADXDefinition* definition, const std::uint8_t* packet,
                                    std::size_t length, std::uint32_t commandHash);
  void ClearData();
  std::uint32_t SampleCount() const;

  // The statistic of kind for the cell; writes its text into buffer when one
  // is given (empty when the statistic is not available). Returns 0.0 when
  // not available.
  float GetCellStatistic(int kind, std::int32_t row, std::int32_t col, char* buffer, std::size_t size) const;
  // Same, and tells whether the statistic is available.
  bool CellStatistic(int kind, std::int32_t row, std::int32_t col, float* result) const;

  const ADXLookupTable& ColumnTable() const { return colTable_; }
  const ADXLookupTable& RowTable() const { return rowTable_; }

  std::uint32_t xidhash = 0;
  std::uint32_t yidhash = 0;
  std::uint32_t zidhash = 0;
  std::uint32_t flags = 0;
  std::int32_t rows = 0;  // set through SetRows
  std::int32_t cols = 0;  // set through SetCols
  float xmin = 0.0f;
  float xmax = 0.0f;
  float ymin = 0.0f;
  float ymax = 0.0f;
  std::uint32_t parentcmdidhash = 0;
  ADXValue* xvalue = nullptr;  // not owned
  ADXValue* yvalue = nullptr;  // not owned
  ADXValue* zvalue = nullptr;  // not owned

 private:
  static void RebuildAxis(ADXLookupTable& table, std::int32_t count, float min, float max);
  static std::int32_t AxisIndex(const ADXLookupTable& table, std::int32_t count, double v);
  void Regrid();              // caller holds mutex_
  void FitHistoryToBudget();  // caller holds mutex_
  std::size_t CellIndex(std::int32_t row, std::int32_t col) const {
    return static_cast<std::size_t>(row) * cols + col;
  }

  ADXLookupTable colTable_;
  ADXLookupTable rowTable_;

  mutable std::mutex mutex_;
  std::uint32_t samplecount_ = 0;
  std::int32_t historysize_ = kDefaultHistorySize;
  std::int32_t requestedHistory_ = kDefaultHistorySize;
  // Per cell: empty, or historysize_ + 1 floats (element 0 = number kept,
  // then the kept values, newest first).
  std::vector<std::vector<float>> history_;
  std::vector<std::unique_ptr<CellStats>> stats_;
};
