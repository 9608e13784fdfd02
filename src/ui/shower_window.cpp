#include "ui/shower_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QMouseEvent>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <span>

#include "initial/catalogue.h"
#include "initial/constants.h"
#include "meteors/record_format.h"
#include "ui/encounter_panel.h"
#include "ui/forecast_controls.h"
#include "ui/pictures.h"
#include "ui/stream_controls.h"
#include "view/trail_map.h"

namespace stelvo {

namespace {

constexpr int kRefreshMs = 100;  // at most ten refreshes a second during a run
QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A record's cells as the window's table shows them.
template <class Record>
QStringList TableCells(std::span<const Column<Record>> columns, const Record& record,
                       unsigned groups = kCoreColumns) {
  QStringList cells;
  for (const std::string& cell : Cells(columns, record, Output::kTable, groups)) {
    cells << QString::fromUtf8(cell.data(), qsizetype(cell.size()));
  }
  return cells;
}

// The columns' titles in the window's language.
template <class Record>
QStringList TableTitles(std::span<const Column<Record>> columns, unsigned groups = kCoreColumns) {
  QStringList titles;
  for (const std::string& title : Headers(columns, Output::kTable, groups)) {
    titles << QCoreApplication::translate("stelvo::TForm_Showers", title.c_str());
  }
  return titles;
}

template <class Record>
int TableColumnCount(std::span<const Column<Record>> columns, unsigned groups = kCoreColumns) {
  return int(Headers(columns, Output::kTable, groups).size());
}

// The forecast table shows the encounters' strength (ZHR, duration) too.
constexpr unsigned kForecastTableGroups = kCoreColumns | kForecastColumns;

QTableWidget* MakeGrid(int columns, QWidget* parent, const char* name) {
  auto* grid = new QTableWidget(0, columns, parent);
  grid->setObjectName(QLatin1String(name));
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->setVisible(false);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grid->horizontalHeader()->setStretchLastSection(false);
  // Fixed scroll bars: the table's inner widgets keep their order when its texts change.
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return grid;
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
  QTableWidgetItem* item = grid->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setItem(row, column, item);
  }
  if (item->text() != text) item->setText(text);
}

void FillShowerGrid(QTableWidget* grid, std::span<const Shower> showers) {
  grid->setRowCount(int(showers.size()));
  for (int row = 0; row < int(showers.size()); ++row) {
    const QStringList cells = TableCells(ShowerColumns(), showers[std::size_t(row)]);
    for (int column = 0; column < int(cells.size()); ++column) {
      SetCell(grid, row, column, cells[column]);
    }
  }
}

QString GridText(const QTableWidget* grid) {
  QStringList lines;
  QStringList header;
  for (int column = 0; column < grid->columnCount(); ++column) {
    header << grid->horizontalHeaderItem(column)->text();
  }
  lines << header.join(QLatin1Char('\t'));
  for (int row = 0; row < grid->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < grid->columnCount(); ++column) {
      const QTableWidgetItem* item = grid->item(row, column);
      cells << (item ? item->text() : QString());
    }
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace

ChartView::ChartView(const QImage& image, std::function<void()> resized, QWidget* parent)
    : QWidget(parent), image_(image), resized_(std::move(resized)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.isNull()) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  painter.drawImage(0, 0, image_);
}

void ChartView::resizeEvent(QResizeEvent*) { resized_(); }

TForm_Showers::TForm_Showers() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("Form_Showers"));
  setWindowIcon(CometIcon());
  resize(1200, 900);

  Tabs = new QTabWidget(this);
  Tabs->setObjectName(QStringLiteral("Tabs"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->addWidget(Tabs);

  auto* showersPage = new QWidget(Tabs);
  showersPage->setObjectName(QStringLiteral("Page_Showers"));
  Image_Radiants = new ChartView(
      map_.Image(), [this] { ResizeMap(); }, showersPage);
  Image_Radiants->setObjectName(QStringLiteral("Image_Radiants"));
  Image_Radiants->setMinimumSize(500, 260);
  Image_Activity = new ChartView(
      profile_.Image(), [this] { ResizeProfile(); }, showersPage);
  Image_Activity->setObjectName(QStringLiteral("Image_Activity"));
  Image_Activity->setMinimumSize(360, 180);
  Label_Counts = new QLabel(showersPage);
  Label_Counts->setObjectName(QStringLiteral("Label_Counts"));
  Label_Counts->setWordWrap(true);

  Grid_Showers = MakeGrid(TableColumnCount(ShowerColumns()), showersPage, "Grid_Showers");
  Grid_Showers->installEventFilter(this);
  Button_Copy = NewCopyButton(showersPage, "Button_Copy");
  auto* copy = new QShortcut(QKeySequence::Copy, this);
  copy->setContext(Qt::WindowShortcut);
  connect(copy, &QShortcut::activated, this, [this] { CopyTable(); });
  LayOutShowerViews(showersPage, nullptr, Image_Radiants, Label_Counts, Image_Activity,
                    Grid_Showers, Button_Copy);
  Tabs->addTab(showersPage, QString());

  BuildForecastPage();
  BuildStreamPage();

  sinceRefresh_.start();
  RetranslateUi();
}

TForm_Showers::~TForm_Showers() = default;

QPushButton* TForm_Showers::NewCopyButton(QWidget* page, const char* name) {
  auto* button = new QPushButton(page);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this] { CopyTable(); });
  return button;
}

void TForm_Showers::LayOutShowerViews(QWidget* page, QLayout* above, ChartView* map, QLabel* counts,
                                      ChartView* profile, QTableWidget* grid, QPushButton* copy) {
  auto* tableColumn = new QVBoxLayout;
  tableColumn->addWidget(grid, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  buttonRow->addWidget(copy);
  tableColumn->addLayout(buttonRow);
  auto* lower = new QHBoxLayout;
  lower->addWidget(profile, 3);
  lower->addLayout(tableColumn, 2);
  auto* column = new QVBoxLayout(page);
  if (above != nullptr) column->addLayout(above);
  column->addWidget(map, 3);
  column->addWidget(counts);
  column->addLayout(lower, 2);
}

void TForm_Showers::BuildStreamPage() {
  auto* streamPage = new QWidget(Tabs);
  streamPage->setObjectName(QStringLiteral("Page_Stream"));
  Stream_Controls =
      new StreamControls([this](const StreamSettings& settings,
                                StreamResult result) { SetStream(settings, std::move(result)); },
                         streamPage);
  Image_StreamRadiants = new ChartView(
      streamMap_.Image(), [this] { DrawStreamMap(); }, streamPage);
  Image_StreamRadiants->setObjectName(QStringLiteral("Image_StreamRadiants"));
  Image_StreamRadiants->setMinimumSize(500, 260);
  Image_StreamActivity = new ChartView(
      streamProfile_.Image(), [this] { DrawStreamProfile(); }, streamPage);
  Image_StreamActivity->setObjectName(QStringLiteral("Image_StreamActivity"));
  Image_StreamActivity->setMinimumSize(360, 180);
  Label_StreamCounts = new QLabel(streamPage);
  Label_StreamCounts->setObjectName(QStringLiteral("Label_StreamCounts"));
  Label_StreamCounts->setWordWrap(true);
  Grid_Stream = MakeGrid(TableColumnCount(ShowerColumns()), streamPage, "Grid_Stream");
  Grid_Stream->installEventFilter(this);
  Button_CopyStream = NewCopyButton(streamPage, "Button_CopyStream");
  auto* controls = new QVBoxLayout;
  controls->addWidget(Stream_Controls);
  LayOutShowerViews(streamPage, controls, Image_StreamRadiants, Label_StreamCounts,
                    Image_StreamActivity, Grid_Stream, Button_CopyStream);
  Tabs->addTab(streamPage, QString());
  // One comet for the window: choosing it on one tab chooses it on the other.
  QComboBox* forecastComet = Forecast_Controls->ComboBox_Comet;
  QComboBox* streamComet = Stream_Controls->ComboBox_Comet;
  connect(forecastComet, &QComboBox::currentIndexChanged, streamComet, &QComboBox::setCurrentIndex);
  connect(streamComet, &QComboBox::currentIndexChanged, forecastComet, &QComboBox::setCurrentIndex);
}

void TForm_Showers::BuildForecastPage() {
  auto* forecastPage = new QWidget(Tabs);
  forecastPage->setObjectName(QStringLiteral("Page_Forecast"));
  Image_Forecast = new ChartView(
      timeline_.Image(), [this] { DrawTimeline(); }, forecastPage);
  Image_Forecast->setObjectName(QStringLiteral("Image_Forecast"));
  Image_Forecast->setMinimumSize(400, 200);
  Grid_Forecast = MakeGrid(TableColumnCount(EncounterColumns(), kForecastTableGroups), forecastPage, "Grid_Forecast");
  Grid_Forecast->installEventFilter(this);
  Button_CopyForecast = new QPushButton(forecastPage);
  Button_CopyForecast->setObjectName(QStringLiteral("Button_CopyForecast"));
  Button_CopyForecast->setAutoDefault(false);
  connect(Button_CopyForecast, &QPushButton::clicked, this, [this] { CopyTable(); });
  auto* forecastButtons = new QHBoxLayout;
  forecastButtons->addStretch(1);
  forecastButtons->addWidget(Button_CopyForecast);
  Forecast_Controls = new ForecastControls(
      [this](std::vector<TrailEncounter> encounters) { SetForecast(std::move(encounters)); },
      forecastPage);
  Image_Forecast->installEventFilter(this);
  Grid_Forecast->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid_Forecast->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(Grid_Forecast, &QTableWidget::currentCellChanged, this,
          [this](int row) { PickEncounter(row); });
  // Timeline and table above, the picked encounter's pictures below; the splitter
  // lets the user share the height.
  auto* overview = new QWidget(forecastPage);
  auto* tableColumnForecast = new QVBoxLayout;
  tableColumnForecast->addWidget(Grid_Forecast, 1);
  tableColumnForecast->addLayout(forecastButtons);
  auto* overviewRow = new QHBoxLayout(overview);
  overviewRow->setContentsMargins(0, 0, 0, 0);
  overviewRow->addWidget(Image_Forecast, 4);
  overviewRow->addLayout(tableColumnForecast, 5);
  Panel_Encounter = new EncounterPanel(forecastPage);
  auto* splitter = new QSplitter(Qt::Vertical, forecastPage);
  splitter->setObjectName(QStringLiteral("Splitter_Forecast"));
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(overview);
  splitter->addWidget(Panel_Encounter);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  auto* forecastLayout = new QVBoxLayout(forecastPage);
  forecastLayout->addWidget(Forecast_Controls);
  forecastLayout->addWidget(splitter, 1);
  Tabs->addTab(forecastPage, QString());
}

ChartTexts TForm_Showers::Texts() const {
  ChartTexts texts;
  texts.rightAscension = tr("Rektaszension (°)");
  texts.declination = tr("Deklination (°)");
  texts.solarLongitude = tr("Sonnenlänge λ☉ (°)");
  texts.perDegree = tr("Durchgänge pro Grad");
  return texts;
}

void TForm_Showers::SetStream(const StreamSettings& settings, StreamResult result) {
  streamSettings_ = settings;
  stream_ = std::move(result);
  streamShowers_.clear();
  for (const StreamShower& w : stream_.showers) streamShowers_.push_back(w.shower);
  DrawStreamMap();
  DrawStreamProfile();
  FillStreamTable();
}

void TForm_Showers::DrawStreamMap() {
  streamMap_.Resize(Image_StreamRadiants->width(), Image_StreamRadiants->height(), Texts());
  streamMap_.Clear();
  for (const Crossing& c : stream_.crossings) {
    streamMap_.AddDot({c.raDeg, c.decDeg, c.lambdaSun, c.inShower});
  }
  streamMap_.MarkShowers(streamShowers_);
  Image_StreamRadiants->update();
}

void TForm_Showers::DrawStreamProfile() {
  ChartTexts texts = Texts();
  texts.perDegree = tr("Sichtbare Meteoroide pro Jahr und Grad");
  streamProfile_.Resize(Image_StreamActivity->width(), Image_StreamActivity->height(), texts);
  streamProfile_.ShowOccupied(stream_.profile, stream_.profileBinDeg);
  streamProfile_.Redraw(stream_.profile, stream_.profileBinDeg);
  std::vector<ProfilePeak> peaks;
  for (const StreamShower& w : stream_.showers) peaks.push_back(w.peak);
  streamProfile_.MarkPeaks(peaks, tr("%1°, Halbwertsbreite %2°"));
  Image_StreamActivity->update();
}

void TForm_Showers::FillStreamTable() {
  FillShowerGrid(Grid_Stream, streamShowers_);
  if (stream_.returns.empty()) {
    Label_StreamCounts->setText(
        tr("Noch kein Strom berechnet: Teilchen aus jeder Wiederkehr des Kometen in den "
           "gewählten Jahren, bis in die Jahre des Stroms integriert."));
    return;
  }
  long long grains = 0;
  for (const StreamReturn& r : stream_.returns) grains += r.grains;
  QStringList lines;
  // The comet named: the window's choice may have changed since the run started.
  const std::string_view comet = CometDisplayName(streamSettings_.cometIndex);
  const QString counts =
      tr("%1 Wiederkehren %2 bis %3 mit %4 Teilchen: %5 Knotendurchgänge in den Jahren "
         "%6 bis %7, davon %8 nahe der Erdbahn (|Δr| < %9 AE)")
          .arg(stream_.returns.size())
          .arg(stream_.returns.front().year)
          .arg(stream_.returns.back().year)
          .arg(grains)
          .arg(stream_.crossingCount)
          .arg(streamSettings_.forecastFrom)
          .arg(streamSettings_.forecastTo)
          .arg(stream_.crossings.size())
          .arg(Fixed(streamSettings_.captureAu, 2));
  lines << QString::fromLatin1(comet.data(), qsizetype(comet.size())).trimmed() +
               QStringLiteral(": ") + counts;
  for (const StreamShower& w : stream_.showers) {
    lines << tr("Strom bei λ☉ %1°: Maximum bei %2° mit %3 sichtbaren Meteoroiden pro Jahr und Grad, "
                "Halbwertsbreite %4°")
                 .arg(Fixed(w.shower.lambdaSun, 1))
                 .arg(Fixed(w.peak.lambda, 1))
                 .arg(w.peak.rate, 0, 'g', 3)
                 .arg(Fixed(w.peak.fwhmDeg, 1));
  }
  Label_StreamCounts->setText(lines.join(QLatin1Char('\n')));
}

void TForm_Showers::ResizeMap() {
  const ShowerSummary& summary = watch_.Summary();
  map_.Resize(Image_Radiants->width(), Image_Radiants->height(), Texts());
  map_.Redraw(summary);
  map_.MarkShowers(summary.Showers());
  drawnCrossings_ = summary.CrossingCount();
  Image_Radiants->update();
}

void TForm_Showers::ResizeProfile() {
  profile_.Resize(Image_Activity->width(), Image_Activity->height(), Texts());
  profile_.Redraw(watch_.Summary().Activity());
  Image_Activity->update();
}

void TForm_Showers::BeginRun() {
  watch_.Reset();
  drawnCrossings_ = 0;
  map_.Clear();
  Refresh();
}

void TForm_Showers::AfterStep(const RunState& state, WorkerPool& pool) {
  watch_.AfterStep(state, pool);
  if (isVisible() && sinceRefresh_.elapsed() >= kRefreshMs) Refresh();
}

void TForm_Showers::EndRun() { Refresh(); }

void TForm_Showers::Refresh() {
  // New dots are drawn on top of the map; only when more crossings came than the
  // summary keeps dots for is the map drawn anew.
  const ShowerSummary& summary = watch_.Summary();
  const long long fresh = summary.CrossingCount() - drawnCrossings_;
  if (fresh < 0 || fresh > summary.DotCount()) {
    map_.Redraw(summary);
  } else {
    map_.AddDots(summary, summary.DotCount() - static_cast<int>(fresh));
  }
  drawnCrossings_ = summary.CrossingCount();
  profile_.Redraw(summary.Activity());
  watch_.Summarise();
  map_.MarkShowers(summary.Showers());
  FillTable();
  Image_Radiants->update();
  Image_Activity->update();
  ++refreshCount_;
  sinceRefresh_.restart();
}

void TForm_Showers::FillTable() {
  const ShowerSummary& summary = watch_.Summary();
  FillShowerGrid(Grid_Showers, summary.Showers());
  Label_Counts->setText(
      tr("%1 Knotendurchgänge in %2 Jahren, davon %3 nahe der Erdbahn (|Δr| < %4 AE), "
         "%5 Begegnungen mit der Erde (< %6 AE)")
          .arg(summary.CrossingCount())
          .arg(Fixed(watch_.ScannedYears(), 1))
          .arg(summary.CapturedCount())
          .arg(Fixed(watch_.Detector().CaptureAu(), 2))
          .arg(summary.EncounterCount())
          .arg(Fixed(watch_.Detector().EncounterAu(), 2)));
}

QString TForm_Showers::TableText() const { return GridText(Grid_Showers); }

QString TForm_Showers::ForecastText() const { return GridText(Grid_Forecast); }

QString TForm_Showers::StreamText() const { return GridText(Grid_Stream); }

void TForm_Showers::SetForecast(std::vector<TrailEncounter> encounters) {
  forecast_ = std::move(encounters);
  picked_ = -1;
  DrawTimeline();
  FillForecastTable();
  PickEncounter(StrongestEncounter(forecast_));
}

void TForm_Showers::PickEncounter(int index) {
  if (index < 0 || index >= int(forecast_.size())) index = -1;
  const bool changed = index != picked_;
  picked_ = index;
  if (Grid_Forecast->currentRow() != index) {
    const QSignalBlocker quiet(Grid_Forecast);
    if (index < 0) {
      Grid_Forecast->clearSelection();
      Grid_Forecast->setCurrentCell(-1, -1);
    } else {
      Grid_Forecast->setCurrentCell(index, 0);
      Grid_Forecast->selectRow(index);
    }
  }
  if (!changed && Panel_Encounter->Encounter().has_value() == (index >= 0)) return;
  Panel_Encounter->ShowEncounter(index < 0 ? std::nullopt
                                           : std::optional(forecast_[std::size_t(index)]));
  DrawTimeline();
}

void TForm_Showers::DrawTimeline() {
  timeline_.Resize(Image_Forecast->width(), Image_Forecast->height());
  TimelineTexts texts;
  texts.year = tr("Jahr");
  texts.trail = tr("Spur");
  texts.empty = tr("Keine Vorhersage");
  texts.strength = tr("ZHR %1, %2 min");
  timeline_.Redraw(forecast_, texts, picked_);
  Image_Forecast->update();
}

void TForm_Showers::FillForecastTable() {
  Grid_Forecast->setRowCount(int(forecast_.size()));
  for (int row = 0; row < int(forecast_.size()); ++row) {
    const TrailEncounter& encounter = forecast_[std::size_t(row)];
    const QStringList cells = TableCells(EncounterColumns(), encounter, kForecastTableGroups);
    for (int column = 0; column < int(cells.size()); ++column) {
      SetCell(Grid_Forecast, row, column, cells[column]);
    }
    // The trail's year in the colour of its row on the timeline.
    Grid_Forecast->item(row, 0)->setForeground(
        QColor::fromRgb(TrailColour(timeline_.RowOf(encounter.trailYear))));
  }
}

void TForm_Showers::CopyTable() {
  const int tab = Tabs->currentIndex();
  QGuiApplication::clipboard()->setText(tab == kForecastTab ? ForecastText()
                                        : tab == kStreamTab ? StreamText()
                                                            : TableText());
}

bool TForm_Showers::eventFilter(QObject* watched, QEvent* event) {
  // A click on an encounter's disc picks it.
  if (watched == Image_Forecast && event->type() == QEvent::MouseButtonPress) {
    const int hit = timeline_.EncounterAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (hit >= 0) PickEncounter(hit);
    return false;
  }
  // The table would copy only its current cell; Ctrl+C copies the whole table.
  if ((watched == Grid_Showers || watched == Grid_Forecast || watched == Grid_Stream) &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    if (event->type() == QEvent::KeyPress) CopyTable();
    event->accept();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TForm_Showers::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ResizeMap();
  ResizeProfile();
  Refresh();
}

void TForm_Showers::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void TForm_Showers::RetranslateUi() {
  setWindowTitle(tr("Meteorströme"));
  Tabs->setTabText(kShowersTab, tr("Ströme"));
  Grid_Showers->setHorizontalHeaderLabels(TableTitles(ShowerColumns()));
  Button_Copy->setText(tr("&Kopieren"));
  Tabs->setTabText(kForecastTab, tr("Vorhersage"));
  Grid_Forecast->setHorizontalHeaderLabels(TableTitles(EncounterColumns(), kForecastTableGroups));
  Button_CopyForecast->setText(tr("&Kopieren"));
  Tabs->setTabText(kStreamTab, tr("Strom aus allen Wiederkehren"));
  Grid_Stream->setHorizontalHeaderLabels(TableTitles(ShowerColumns()));
  Button_CopyStream->setText(tr("&Kopieren"));
  DrawTimeline();
  Panel_Encounter->RetranslateUi();
  // The charts carry texts of their own: drawn anew in the new language.
  ResizeMap();
  ResizeProfile();
  FillTable();
  DrawStreamMap();
  DrawStreamProfile();
  FillStreamTable();
}

}  // namespace stelvo
