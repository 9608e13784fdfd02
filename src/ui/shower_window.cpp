#include "ui/shower_window.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <span>

#include "initial/constants.h"
#include "meteors/record_format.h"
#include "ui/forecast_controls.h"
#include "ui/pictures.h"

namespace stelvo {

namespace {

constexpr int kRefreshMs = 100;  // at most ten refreshes a second during a run
QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A record's cells as the window's table shows them.
template <class Record>
QStringList TableCells(std::span<const Column<Record>> columns, const Record& record) {
  QStringList cells;
  for (const std::string& cell : Cells(columns, record, Output::kTable)) {
    cells << QString::fromUtf8(cell.data(), qsizetype(cell.size()));
  }
  return cells;
}

// The columns' titles in the window's language.
template <class Record>
QStringList TableTitles(std::span<const Column<Record>> columns) {
  QStringList titles;
  for (const std::string& title : Headers(columns, Output::kTable)) {
    titles << QCoreApplication::translate("stelvo::TForm_Showers", title.c_str());
  }
  return titles;
}

template <class Record>
int TableColumnCount(std::span<const Column<Record>> columns) {
  return int(Headers(columns, Output::kTable).size());
}

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
  Button_Copy = new QPushButton(showersPage);
  Button_Copy->setObjectName(QStringLiteral("Button_Copy"));
  Button_Copy->setAutoDefault(false);
  connect(Button_Copy, &QPushButton::clicked, this, [this] { CopyTable(); });
  auto* copy = new QShortcut(QKeySequence::Copy, this);
  copy->setContext(Qt::WindowShortcut);
  connect(copy, &QShortcut::activated, this, [this] { CopyTable(); });

  auto* tableColumn = new QVBoxLayout;
  tableColumn->addWidget(Grid_Showers, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  buttonRow->addWidget(Button_Copy);
  tableColumn->addLayout(buttonRow);
  auto* lower = new QHBoxLayout;
  lower->addWidget(Image_Activity, 3);
  lower->addLayout(tableColumn, 2);
  auto* page = new QVBoxLayout(showersPage);
  page->addWidget(Image_Radiants, 3);
  page->addWidget(Label_Counts);
  page->addLayout(lower, 2);
  Tabs->addTab(showersPage, QString());

  auto* forecastPage = new QWidget(Tabs);
  forecastPage->setObjectName(QStringLiteral("Page_Forecast"));
  Image_Forecast = new ChartView(
      timeline_.Image(), [this] { DrawTimeline(); }, forecastPage);
  Image_Forecast->setObjectName(QStringLiteral("Image_Forecast"));
  Image_Forecast->setMinimumSize(400, 200);
  Grid_Forecast = MakeGrid(TableColumnCount(EncounterColumns()), forecastPage, "Grid_Forecast");
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
  auto* forecastLayout = new QVBoxLayout(forecastPage);
  forecastLayout->addWidget(Forecast_Controls);
  forecastLayout->addWidget(Image_Forecast, 2);
  forecastLayout->addWidget(Grid_Forecast, 3);
  forecastLayout->addLayout(forecastButtons);
  Tabs->addTab(forecastPage, QString());

  sinceRefresh_.start();
  RetranslateUi();
}

TForm_Showers::~TForm_Showers() = default;

ChartTexts TForm_Showers::Texts() const {
  ChartTexts texts;
  texts.rightAscension = tr("Rektaszension (°)");
  texts.declination = tr("Deklination (°)");
  texts.solarLongitude = tr("Sonnenlänge λ☉ (°)");
  texts.perDegree = tr("Durchgänge pro Grad");
  return texts;
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
  const auto showers = summary.Showers();
  Grid_Showers->setRowCount(int(showers.size()));
  for (int row = 0; row < int(showers.size()); ++row) {
    const QStringList cells = TableCells(ShowerColumns(), showers[std::size_t(row)]);
    for (int column = 0; column < int(cells.size()); ++column) {
      SetCell(Grid_Showers, row, column, cells[column]);
    }
  }
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

void TForm_Showers::SetForecast(std::vector<TrailEncounter> encounters) {
  forecast_ = std::move(encounters);
  DrawTimeline();
  FillForecastTable();
}

void TForm_Showers::DrawTimeline() {
  timeline_.Resize(Image_Forecast->width(), Image_Forecast->height());
  TimelineTexts texts;
  texts.year = tr("Jahr");
  texts.trail = tr("Spur");
  texts.empty = tr("Keine Vorhersage");
  timeline_.Redraw(forecast_, texts);
  Image_Forecast->update();
}

void TForm_Showers::FillForecastTable() {
  Grid_Forecast->setRowCount(int(forecast_.size()));
  for (int row = 0; row < int(forecast_.size()); ++row) {
    const TrailEncounter& encounter = forecast_[std::size_t(row)];
    const QStringList cells = TableCells(EncounterColumns(), encounter);
    for (int column = 0; column < int(cells.size()); ++column) {
      SetCell(Grid_Forecast, row, column, cells[column]);
    }
    // The trail's year in the colour of its row on the timeline.
    Grid_Forecast->item(row, 0)->setForeground(
        QColor::fromRgb(TrailColour(timeline_.RowOf(encounter.trailYear))));
  }
}

void TForm_Showers::CopyTable() {
  QGuiApplication::clipboard()->setText(Tabs->currentIndex() == 1 ? ForecastText() : TableText());
}

bool TForm_Showers::eventFilter(QObject* watched, QEvent* event) {
  // The table would copy only its current cell; Ctrl+C copies the whole table.
  if ((watched == Grid_Showers || watched == Grid_Forecast) &&
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
  Tabs->setTabText(0, tr("Ströme"));
  Grid_Showers->setHorizontalHeaderLabels(TableTitles(ShowerColumns()));
  Button_Copy->setText(tr("&Kopieren"));
  Tabs->setTabText(1, tr("Vorhersage"));
  Grid_Forecast->setHorizontalHeaderLabels(TableTitles(EncounterColumns()));
  Button_CopyForecast->setText(tr("&Kopieren"));
  DrawTimeline();
  // The charts carry texts of their own: drawn anew in the new language.
  ResizeMap();
  ResizeProfile();
  FillTable();
}

}  // namespace stelvo
