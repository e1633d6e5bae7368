#include "app/analysis/AnalysisWindow.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "analysis/AnalysisText.h"
#include "analysis/LogHistograms.h"
#include "analysis/LogStatistics.h"
#include "app/analysis/ScatterWidget.h"
#include "app/analysis/StripChartWidget.h"
#include "app/panes/HistogramPane.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

namespace {

constexpr std::size_t kScatterPoints = 20000;
const QColor kChannelColors[] = {QColor(20, 80, 200), QColor(0, 140, 60),  QColor(150, 40, 160),
                                 QColor(0, 130, 140), QColor(120, 90, 20), QColor(200, 30, 60)};

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ChannelLabel(const ADXObject& item) {
  const std::string units = ItemUnits(item);
  QString label = Latin1(ItemTitle(item));
  if (!units.empty()) label += QStringLiteral(" (") + Latin1(units) + QStringLiteral(")");
  return label;
}

QString Number(double value) {
  return std::isnan(value) ? QStringLiteral("-") : QString::fromStdString(ShortestText(value));
}

QTableWidgetItem* Cell(const QString& text) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return cell;
}

std::unique_ptr<ADXDefinition> LoadDefinitionCopy(const std::string& path, QString* error) {
  auto definition = std::make_unique<ADXDefinition>();
  AdxLoadReport report;
  if (path.empty()) {
    *error = QStringLiteral("Load a definition first: a log is decoded with the definition's items.");
    return nullptr;
  }
  if (!LoadAdx(definition.get(), path.c_str(), nullptr, 0, nullptr, &report)) {
    *error = QStringLiteral("Cannot load the definition %1: %2")
                 .arg(QString::fromStdString(path), QString::fromStdString(report.message));
    return nullptr;
  }
  return definition;
}

}  // namespace

AnalysisWindow::AnalysisWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Log Analysis"));
  resize(1200, 800);

  // The top row: what is loaded, the progress of a read and its Cancel, and
  // the commands.
  statusLabel_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 1000);
  progress_->setVisible(false);
  cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton_->setVisible(false);
  auto* zoomSelection = new QPushButton(QStringLiteral("Zoom to Selection"), this);
  auto* reset = new QPushButton(QStringLiteral("Reset Zoom"), this);
  auto* clear = new QPushButton(QStringLiteral("Clear Selection"), this);
  auto* compare = new QPushButton(QStringLiteral("Compare..."), this);
  auto* exportButton = new QPushButton(QStringLiteral("Export Selection..."), this);
  auto* top = new QHBoxLayout;
  top->addWidget(statusLabel_, 1);
  top->addWidget(progress_, 1);
  top->addWidget(cancelButton_);
  top->addWidget(zoomSelection);
  top->addWidget(reset);
  top->addWidget(clear);
  top->addWidget(compare);
  top->addWidget(exportButton);

  channelList_ = new QListWidget(this);
  channelList_->setObjectName(QStringLiteral("channels"));
  charts_ = new StripChartWidget(this);
  charts_->setObjectName(QStringLiteral("charts"));
  cursorLabel_ = new QLabel(this);
  cursorTable_ = new QTableWidget(0, 9, this);
  cursorTable_->setObjectName(QStringLiteral("cursorTable"));
  cursorTable_->setHorizontalHeaderLabels(
      {QStringLiteral("Channel"), QStringLiteral("At Cursor"), QStringLiteral("Compare"),
       QStringLiteral("Count"), QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("Mean"),
       QStringLiteral("Above High (s)"), QStringLiteral("Below Low (s)")});
  cursorTable_->verticalHeader()->setVisible(false);
  cursorTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(cursorLabel_);
  sideLayout->addWidget(cursorTable_);

  auto* upper = new QSplitter(Qt::Horizontal, this);
  upper->addWidget(channelList_);
  upper->addWidget(charts_);
  upper->addWidget(side);
  upper->setStretchFactor(1, 3);
  upper->setSizes({180, 620, 400});

  tabs_ = new QTabWidget(this);
  auto* scatterPage = new QWidget(tabs_);
  scatterX_ = new QComboBox(scatterPage);
  scatterY_ = new QComboBox(scatterPage);
  scatterC_ = new QComboBox(scatterPage);
  scatter_ = new ScatterWidget(scatterPage);
  auto* scatterRow = new QHBoxLayout;
  scatterRow->addWidget(new QLabel(QStringLiteral("X:"), scatterPage));
  scatterRow->addWidget(scatterX_, 1);
  scatterRow->addWidget(new QLabel(QStringLiteral("Y:"), scatterPage));
  scatterRow->addWidget(scatterY_, 1);
  scatterRow->addWidget(new QLabel(QStringLiteral("Colour:"), scatterPage));
  scatterRow->addWidget(scatterC_, 1);
  auto* scatterLayout = new QVBoxLayout(scatterPage);
  scatterLayout->addLayout(scatterRow);
  scatterLayout->addWidget(scatter_, 1);
  tabs_->addTab(scatterPage, QStringLiteral("Scatter"));
  histograms_ = new HistogramPane(tabs_);
  tabs_->addTab(histograms_, QStringLiteral("Histograms"));
  auto* comparePage = new QWidget(tabs_);
  compareLabel_ =
      new QLabel(QStringLiteral("Compare decodes the log with a second definition."), comparePage);
  diffTable_ = new QTableWidget(0, 5, comparePage);
  diffTable_->setHorizontalHeaderLabels(
      {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("Records Differing"),
       QStringLiteral("Max Difference"), QStringLiteral("First (s) / Note")});
  diffTable_->verticalHeader()->setVisible(false);
  diffTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* compareLayout = new QVBoxLayout(comparePage);
  compareLayout->addWidget(compareLabel_);
  compareLayout->addWidget(diffTable_, 1);
  tabs_->addTab(comparePage, QStringLiteral("Compare"));

  auto* vertical = new QSplitter(Qt::Vertical, this);
  vertical->addWidget(upper);
  vertical->addWidget(tabs_);
  vertical->setSizes({480, 320});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(vertical, 1);

  poll_ = new QTimer(this);
  poll_->setInterval(40);
  connect(poll_, &QTimer::timeout, this, &AnalysisWindow::Poll);
  connect(cancelButton_, &QPushButton::clicked, this, &AnalysisWindow::CancelLoading);
  connect(reset, &QPushButton::clicked, charts_, &StripChartWidget::ResetView);
  connect(zoomSelection, &QPushButton::clicked, charts_, &StripChartWidget::ZoomToSelection);
  connect(clear, &QPushButton::clicked, this, &AnalysisWindow::ClearSelection);
  connect(compare, &QPushButton::clicked, this, &AnalysisWindow::ChooseCompare);
  connect(exportButton, &QPushButton::clicked, this, &AnalysisWindow::ChooseExport);
  connect(channelList_, &QListWidget::itemChanged, this, [this] {
    if (!filling_) UpdateCharts();
  });
  connect(charts_, &StripChartWidget::cursorMoved, this, [this] { UpdateCursorTable(); });
  connect(charts_, &StripChartWidget::selectionChanged, this, &AnalysisWindow::UpdateSelectionViews);
  for (QComboBox* combo : {scatterX_, scatterY_, scatterC_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this] {
      if (!filling_) UpdateScatter();
    });
  }
}

AnalysisWindow::~AnalysisWindow() {
  cancel_ = true;
  cancelDiff_ = true;
  if (loader_.joinable()) loader_.join();
  if (differ_.joinable()) differ_.join();
}

QString AnalysisWindow::StatusText() const {
  return status_;
}

bool AnalysisWindow::Open(const std::string& definitionPath, const std::string& logPath) {
  // Both workers read the log that is about to be replaced.
  CancelLoading();
  cancelDiff_ = true;
  if (loader_.joinable()) loader_.join();
  if (differ_.joinable()) differ_.join();
  diffTable_->setRowCount(0);
  charts_->SetLog(nullptr);
  binding_.reset();
  columns_.reset();
  compareColumns_.reset();
  compareBinding_.reset();
  compare_.reset();
  histograms_->FillHistograms(nullptr);
  QString error;
  definition_ = LoadDefinitionCopy(definitionPath, &error);
  if (!definition_) {
    status_ = error;
    statusLabel_->setText(status_);
    return false;
  }
  definitionPath_ = definitionPath;
  logPath_ = logPath;
  setWindowTitle(QStringLiteral("Log Analysis - %1").arg(QString::fromStdString(logPath)));
  log_ = std::make_unique<LogData>();
  cancel_ = false;
  loaderDone_ = false;
  progressDone_ = 0;
  progressTotal_ = 0;
  status_ = QStringLiteral("Reading %1...").arg(QString::fromStdString(logPath));
  statusLabel_->setText(status_);
  progress_->setValue(0);
  progress_->setVisible(true);
  cancelButton_->setVisible(true);
  LogData* target = log_.get();
  loader_ = std::thread([this, target, logPath] {
    loadResult_ = ReadLogData(logPath, target, &cancel_, [this](std::size_t done, std::size_t total) {
      progressDone_.store(done, std::memory_order_relaxed);
      progressTotal_.store(total, std::memory_order_relaxed);
    });
    loaderDone_.store(true, std::memory_order_release);
  });
  poll_->start();
  return true;
}

void AnalysisWindow::CancelLoading() {
  cancel_ = true;
}

void AnalysisWindow::Poll() {
  const std::size_t total = progressTotal_.load(std::memory_order_relaxed);
  if (total > 0) {
    progress_->setValue(static_cast<int>(1000.0 * progressDone_.load(std::memory_order_relaxed) / total));
  }
  if (loader_.joinable() && loaderDone_.load(std::memory_order_acquire)) FinishLoading();
  if (differ_.joinable() && differDone_.load(std::memory_order_acquire)) FinishCompare();
  if (!loader_.joinable() && !differ_.joinable()) poll_->stop();
}

void AnalysisWindow::FinishLoading() {
  loader_.join();
  progress_->setVisible(false);
  cancelButton_->setVisible(false);
  if (loadResult_ != LogReadResult::kOk) {
    status_ =
        loadResult_ == LogReadResult::kCancelled
            ? QStringLiteral("Reading the log was cancelled.")
            : QStringLiteral("Cannot read %1: %2")
                  .arg(QString::fromStdString(logPath_), QString::fromLatin1(LogReadResultText(loadResult_)));
    statusLabel_->setText(status_);
    log_.reset();
    Q_EMIT loadFinished(false);
    return;
  }
  binding_ = std::make_unique<LogBinding>(*log_, *definition_);
  columns_ = std::make_unique<ColumnCache>(*binding_);
  statistics_.clear();
  statisticsRange_ = {0, 0};
  items_ = DefinitionItems(*definition_);
  status_ =
      QStringLiteral("%1 records, %2 s").arg(log_->RecordCount()).arg(log_->DurationSeconds(), 0, 'f', 3);
  if (log_->SkippedRecords() != 0)
    status_ += QStringLiteral(", %1 damaged records left out").arg(log_->SkippedRecords());
  if (binding_->UnknownEntries() != 0) {
    status_ += QStringLiteral(", %1 logged commands not in the definition").arg(binding_->UnknownEntries());
  }
  statusLabel_->setText(status_);
  charts_->SetLog(log_.get());
  BuildChannelList();
  histograms_->FillHistograms(definition_.get());
  UpdateSelectionViews();
  Q_EMIT loadFinished(true);
}

void AnalysisWindow::BuildChannelList() {
  // To begin with, the inputs and output of the first histogram (speed, load
  // and what is mapped over them) are shown and scattered; without a
  // histogram, the first values.
  std::vector<ADXObject*> start;
  const std::vector<ADXHistogram*> histograms = DefinitionHistograms(*definition_);
  if (!histograms.empty()) {
    for (ADXObject* v :
         {static_cast<ADXObject*>(histograms[0]->xvalue), static_cast<ADXObject*>(histograms[0]->yvalue),
          static_cast<ADXObject*>(histograms[0]->zvalue)}) {
      if (v != nullptr && std::find(start.begin(), start.end(), v) == start.end()) start.push_back(v);
    }
  }
  for (ADXObject* item : items_) {
    if (start.size() >= 3) break;
    if (item->objectType == ADX_TYPE_VALUE && std::find(start.begin(), start.end(), item) == start.end()) {
      start.push_back(item);
    }
  }
  filling_ = true;
  channelList_->clear();
  for (QComboBox* combo : {scatterX_, scatterY_, scatterC_}) combo->clear();
  for (ADXObject* item : items_) {
    auto* entry = new QListWidgetItem(ChannelLabel(*item), channelList_);
    entry->setData(Qt::UserRole, Latin1(ItemId(*item)));
    entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    const bool shown = std::find(start.begin(), start.end(), item) != start.end();
    entry->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    for (QComboBox* combo : {scatterX_, scatterY_, scatterC_})
      combo->addItem(ChannelLabel(*item), Latin1(ItemId(*item)));
  }
  QComboBox* combos[] = {scatterX_, scatterY_, scatterC_};
  for (std::size_t i = 0; i < 3 && i < start.size(); ++i)
    combos[i]->setCurrentIndex(combos[i]->findData(Latin1(ItemId(*start[i]))));
  filling_ = false;
  UpdateCharts();
}

ADXObject* AnalysisWindow::ItemById(const QString& id) const {
  for (ADXObject* item : items_) {
    if (Latin1(ItemId(*item)) == id) return item;
  }
  return nullptr;
}

ADXObject* AnalysisWindow::CompareItem(const ADXObject& item) const {
  if (!compare_) return nullptr;
  for (ADXObject* other : DefinitionItems(*compare_)) {
    if (ItemId(*other) == ItemId(item)) return other;
  }
  return nullptr;
}

void AnalysisWindow::ShowChannels(const QStringList& ids) {
  filling_ = true;
  for (int i = 0; i < channelList_->count(); ++i) {
    QListWidgetItem* entry = channelList_->item(i);
    entry->setCheckState(ids.contains(entry->data(Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;
  UpdateCharts();
}

QStringList AnalysisWindow::ShownChannels() const {
  QStringList ids;
  for (int i = 0; i < channelList_->count(); ++i) {
    if (channelList_->item(i)->checkState() == Qt::Checked)
      ids << channelList_->item(i)->data(Qt::UserRole).toString();
  }
  return ids;
}

void AnalysisWindow::UpdateCharts() {
  if (!IsLoaded()) return;
  std::vector<StripChannel> channels;
  for (const QString& id : ShownChannels()) {
    ADXObject* item = ItemById(id);
    if (item == nullptr) continue;
    StripChannel channel;
    channel.label = ChannelLabel(*item);
    channel.samples = &columns_->Column(*item);
    if (ADXObject* other = CompareItem(*item)) channel.overlay = &compareColumns_->Column(*other);
    channel.color = kChannelColors[channels.size() % std::size(kChannelColors)];
    channels.push_back(channel);
  }
  charts_->SetChannels(std::move(channels));
  UpdateCursorTable();
}

std::size_t AnalysisWindow::FirstSelected() const {
  const auto selection = charts_->Selection();
  return selection ? log_->LowerBound(selection->from) : 0;
}

std::size_t AnalysisWindow::EndSelected() const {
  const auto selection = charts_->Selection();
  return selection ? log_->UpperBound(selection->to) : log_->RecordCount();
}

void AnalysisWindow::UpdateCursorTable() {
  if (!IsLoaded()) return;
  const double cursor = charts_->Cursor();
  const std::size_t record = RecordAtTime(*log_, cursor);
  const auto selection = charts_->Selection();
  cursorLabel_->setText(
      QStringLiteral("Cursor %1 s (record %2)   Statistics over %3")
          .arg(cursor, 0, 'f', 3)
          .arg(record)
          .arg(
              selection
                  ? QStringLiteral("%1 .. %2 s").arg(selection->from, 0, 'f', 3).arg(selection->to, 0, 'f', 3)
                  : QStringLiteral("the whole log")));
  const QStringList ids = ShownChannels();
  cursorTable_->setRowCount(static_cast<int>(ids.size()));
  const std::size_t first = FirstSelected();
  const std::size_t end = EndSelected();
  for (int row = 0; row < ids.size(); ++row) {
    ADXObject* item = ItemById(ids[row]);
    if (item == nullptr) continue;
    const std::vector<float>& column = columns_->Column(*item);
    cursorTable_->setItem(row, 0, Cell(ChannelLabel(*item)));
    cursorTable_->setItem(row, 1, Cell(column.empty() ? QStringLiteral("-") : Number(column[record])));
    ADXObject* other = CompareItem(*item);
    cursorTable_->setItem(
        row, 2,
        Cell(other != nullptr && !column.empty() ? Number(compareColumns_->Column(*other)[record])
                                                 : QString()));
    // Moving the cursor does not change the statistics: they are kept per selection.
    if (statisticsRange_ != std::make_pair(first, end)) {
      statistics_.clear();
      statisticsRange_ = {first, end};
    }
    auto known = statistics_.find(item);
    if (known == statistics_.end()) {
      known = statistics_.emplace(item, StatisticsFromColumn(*binding_, *item, column, first, end)).first;
    }
    const ItemStatistics& s = known->second;
    cursorTable_->setItem(row, 3, Cell(QString::number(s.count)));
    cursorTable_->setItem(row, 4, Cell(s.count ? Number(s.minimum) : QString()));
    cursorTable_->setItem(row, 5, Cell(s.count ? Number(s.maximum) : QString()));
    cursorTable_->setItem(row, 6, Cell(s.count ? QString::number(s.mean, 'g', 6) : QString()));
    cursorTable_->setItem(row, 7,
                          Cell(s.hasHighAlarm ? QString::number(s.secondsAboveHigh, 'f', 3) : QString()));
    cursorTable_->setItem(row, 8,
                          Cell(s.hasLowAlarm ? QString::number(s.secondsBelowLow, 'f', 3) : QString()));
  }
}

void AnalysisWindow::SetCursor(double seconds) {
  charts_->SetCursor(seconds);
}

void AnalysisWindow::SelectRange(double fromSeconds, double toSeconds) {
  charts_->SetSelection(TimeView{fromSeconds, toSeconds});
}

void AnalysisWindow::ClearSelection() {
  charts_->SetSelection(std::nullopt);
}

void AnalysisWindow::UpdateSelectionViews() {
  UpdateCursorTable();
  UpdateScatter();
  UpdateHistograms();
}

void AnalysisWindow::SetScatterChannels(const QString& x, const QString& y, const QString& c) {
  filling_ = true;
  scatterX_->setCurrentIndex(scatterX_->findData(x));
  scatterY_->setCurrentIndex(scatterY_->findData(y));
  scatterC_->setCurrentIndex(scatterC_->findData(c));
  filling_ = false;
  UpdateScatter();
}

void AnalysisWindow::UpdateScatter() {
  if (!IsLoaded()) return;
  ADXObject* x = ItemById(scatterX_->currentData().toString());
  ADXObject* y = ItemById(scatterY_->currentData().toString());
  ADXObject* c = ItemById(scatterC_->currentData().toString());
  if (x == nullptr || y == nullptr) {
    scatter_->SetPoints(ScatterPoints{}, QString(), QString(), QString());
    return;
  }
  const std::vector<float>& xs = columns_->Column(*x);
  const std::vector<float>& ys = columns_->Column(*y);
  const std::vector<float>* cs = c != nullptr ? &columns_->Column(*c) : nullptr;
  scatter_->SetPoints(CollectScatter(xs, ys, cs, FirstSelected(), EndSelected(), kScatterPoints),
                      ChannelLabel(*x), ChannelLabel(*y), c != nullptr ? ChannelLabel(*c) : QString());
}

void AnalysisWindow::UpdateHistograms() {
  if (!IsLoaded()) return;
  TimeRange range;
  if (const auto selection = charts_->Selection()) range = TimeRange{selection->from, selection->to};
  FillHistograms(*binding_, DefinitionHistograms(*definition_), range);
  histograms_->RebuildTable();
}

bool AnalysisWindow::Compare(const std::string& definitionPath) {
  if (!IsLoaded() || differ_.joinable()) return false;
  QString error;
  std::unique_ptr<ADXDefinition> other = LoadDefinitionCopy(definitionPath, &error);
  // The worker decodes with copies of both definitions of its own.
  std::unique_ptr<ADXDefinition> workerA = LoadDefinitionCopy(definitionPath_, &error);
  std::unique_ptr<ADXDefinition> workerB = LoadDefinitionCopy(definitionPath, &error);
  if (!other || !workerA || !workerB) {
    compareLabel_->setText(error);
    return false;
  }
  compare_ = std::move(other);
  compareBinding_ = std::make_unique<LogBinding>(*log_, *compare_);
  compareColumns_ = std::make_unique<ColumnCache>(*compareBinding_);
  compareLabel_->setText(QStringLiteral("Comparing with %1...").arg(QString::fromStdString(definitionPath)));
  differDone_ = false;
  cancelDiff_ = false;
  const LogData* log = log_.get();
  differ_ = std::thread([this, log, a = std::move(workerA), b = std::move(workerB)] {
    differences_ = DiffDefinitions(*log, *a, *b, &cancelDiff_);
    differDone_.store(true, std::memory_order_release);
  });
  poll_->start();
  UpdateCharts();
  return true;
}

void AnalysisWindow::FinishCompare() {
  differ_.join();
  diffTable_->setRowCount(static_cast<int>(differences_.size()));
  for (int row = 0; row < static_cast<int>(differences_.size()); ++row) {
    const ItemDifference& d = differences_[static_cast<std::size_t>(row)];
    diffTable_->setItem(row, 0, Cell(Latin1(d.id)));
    diffTable_->setItem(row, 1, Cell(Latin1(d.title)));
    if (d.presence == DiffPresence::kBoth) {
      diffTable_->setItem(row, 2, Cell(QString::number(d.recordsDiffering)));
      diffTable_->setItem(row, 3, Cell(d.maxAbsDifference ? Number(*d.maxAbsDifference) : QString()));
      diffTable_->setItem(row, 4, Cell(Number(d.firstTimeSeconds)));
    } else {
      diffTable_->setItem(row, 2, Cell(QString()));
      diffTable_->setItem(row, 3, Cell(QString()));
      diffTable_->setItem(row, 4,
                          Cell(d.presence == DiffPresence::kOnlyInA ? QStringLiteral("only in A")
                                                                    : QStringLiteral("only in B")));
    }
  }
  compareLabel_->setText(differences_.empty()
                             ? QStringLiteral("Both definitions show the same for every record.")
                             : QStringLiteral("%1 items differ.").arg(differences_.size()));
  Q_EMIT compareFinished();
}

bool AnalysisWindow::ExportSelection(const std::string& path, std::string* error) const {
  if (!IsLoaded()) {
    *error = "no log is loaded";
    return false;
  }
  std::vector<ADXObject*> shown;
  for (const QString& id : ShownChannels()) {
    if (ADXObject* item = ItemById(id)) shown.push_back(item);
  }
  std::string text = "time_s";
  for (ADXObject* item : shown) text += ',' + CsvCell(Latin1ToUtf8Text(ItemTitle(*item)));
  text += "\r\ns";
  for (ADXObject* item : shown) text += ',' + CsvCell(Latin1ToUtf8Text(ItemUnits(*item)));
  text += "\r\n";
  std::vector<const std::vector<float>*> columns;
  for (ADXObject* item : shown) columns.push_back(&columns_->Column(*item));
  BoundPacket packet;
  for (std::size_t r = FirstSelected(); r < EndSelected(); ++r) {
    if (!binding_->PacketOf(r, &packet)) continue;
    text += ShortestText(log_->TimeSeconds(r));
    for (const auto* column : columns) {
      const float v = (*column)[r];
      text += ',';
      if (!std::isnan(v)) text += ShortestFloatText(v);
    }
    text += "\r\n";
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

void AnalysisWindow::ChooseCompare() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Select a definition to compare..."), QString(),
                                   QStringLiteral("ADX Files (*.adx);;All Files (*)"));
  if (!path.isEmpty() && Compare(path.toStdString())) tabs_->setCurrentIndex(2);
}

void AnalysisWindow::ChooseExport() {
  const QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Export the selection..."), QString(),
                                   QStringLiteral("CSV Files (*.csv);;All Files (*)"));
  if (path.isEmpty()) return;
  std::string error;
  if (!ExportSelection(path.toStdString(), &error)) {
    QMessageBox::critical(this, QStringLiteral("Export failed"), QString::fromStdString(error));
  }
}
