// The log analysis window: a whole log decoded with the loaded definition,
// shown as stacked strip charts of the channels the user picks, with a cursor
// table, statistics of the selection, an X-Y scatter, the definition's
// histograms over the selection, a comparison with a second definition and an
// export of the selection to CSV.
//
// The log is read on a worker thread (progress bar and Cancel in the window);
// a comparison is computed on a worker thread too, from copies of both
// definitions of its own. Everything else (lazy channel columns, histograms
// and statistics of the selection) runs on the GUI thread from the log in
// memory.
//
// Thread contract: a QWidget; every member runs on the GUI thread. The worker
// threads touch only what they own (their definitions and the data they
// fill) and the atomics they report through; the window polls those with a
// timer and joins the workers before it is destroyed. The window's own
// definition is a private copy, never the one live scanning or playback uses.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "analysis/DefinitionDiff.h"
#include "analysis/LogColumns.h"
#include "analysis/LogData.h"
#include "analysis/LogStatistics.h"
#include "app/analysis/StripChartGeometry.h"

class ADXDefinition;
class ADXObject;
class HistogramPane;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QTimer;
class ScatterWidget;
class StripChartWidget;

class AnalysisWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AnalysisWindow(QWidget* parent = nullptr);
  ~AnalysisWindow() override;

  // Loads the definition (a copy of its own) and starts reading the log. False
  // (with the reason shown in the window) when the definition cannot be loaded.
  bool Open(const std::string& definitionPath, const std::string& logPath);
  // Stops a read in progress; the window then shows that it was cancelled.
  void CancelLoading();
  bool IsLoading() const { return loader_.joinable(); }
  bool IsLoaded() const { return binding_ != nullptr; }
  const LogData* Log() const { return binding_ ? log_.get() : nullptr; }
  QString StatusText() const;

  // The channels shown, by item ID (unknown IDs are ignored).
  void ShowChannels(const QStringList& ids);
  QStringList ShownChannels() const;
  void SetCursor(double seconds);
  void SelectRange(double fromSeconds, double toSeconds);
  void ClearSelection();
  // Scatter of x against y coloured by c (item IDs).
  void SetScatterChannels(const QString& x, const QString& y, const QString& c);
  // Decodes the log with a second definition and overlays its columns (starts
  // a worker for the list of differences). False when it cannot be loaded.
  bool Compare(const std::string& definitionPath);
  bool IsComparing() const { return differ_.joinable(); }
  // Writes the selection (or the whole log) of the shown channels as CSV.
  bool ExportSelection(const std::string& path, std::string* error) const;

  StripChartWidget* Charts() const { return charts_; }
  QTableWidget* CursorTable() const { return cursorTable_; }
  QTableWidget* DiffTable() const { return diffTable_; }
  ScatterWidget* Scatter() const { return scatter_; }
  HistogramPane* Histograms() const { return histograms_; }
  QTabWidget* Tabs() const { return tabs_; }

 Q_SIGNALS:
  void loadFinished(bool ok);
  void compareFinished();

 private:
  void Poll();
  void FinishLoading();
  void FinishCompare();
  void BuildChannelList();
  void UpdateCharts();
  void UpdateCursorTable();
  void UpdateSelectionViews();
  void UpdateScatter();
  void UpdateHistograms();
  ADXObject* ItemById(const QString& id) const;
  ADXObject* CompareItem(const ADXObject& item) const;
  std::size_t FirstSelected() const;
  std::size_t EndSelected() const;
  void ChooseCompare();
  void ChooseExport();

  // Loaded data.
  std::unique_ptr<ADXDefinition> definition_;
  std::string definitionPath_;
  std::string logPath_;
  std::unique_ptr<LogData> log_;
  std::unique_ptr<LogBinding> binding_;
  std::unique_ptr<ColumnCache> columns_;
  std::vector<ADXObject*> items_;
  // The compare definition, its binding and columns.
  std::unique_ptr<ADXDefinition> compare_;
  std::unique_ptr<LogBinding> compareBinding_;
  std::unique_ptr<ColumnCache> compareColumns_;

  // Workers and what they report.
  std::thread loader_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> loaderDone_{false};
  std::atomic<std::size_t> progressDone_{0};
  std::atomic<std::size_t> progressTotal_{0};
  LogReadResult loadResult_ = LogReadResult::kOk;  // written by the loader before loaderDone_
  std::thread differ_;
  std::atomic<bool> differDone_{false};
  std::atomic<bool> cancelDiff_{false};
  std::vector<ItemDifference> differences_;  // written by the differ before differDone_
  QString status_;

  // Widgets.
  QLabel* statusLabel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QListWidget* channelList_ = nullptr;
  StripChartWidget* charts_ = nullptr;
  QTableWidget* cursorTable_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  ScatterWidget* scatter_ = nullptr;
  QComboBox* scatterX_ = nullptr;
  QComboBox* scatterY_ = nullptr;
  QComboBox* scatterC_ = nullptr;
  HistogramPane* histograms_ = nullptr;
  QTableWidget* diffTable_ = nullptr;
  QLabel* compareLabel_ = nullptr;
  QTimer* poll_ = nullptr;
  // Statistics of the selection per item, for the records first .. end.
  std::map<const ADXObject*, ItemStatistics> statistics_;
  std::pair<std::size_t, std::size_t> statisticsRange_{0, 0};
  bool filling_ = false;  // the channel list is being filled
};
