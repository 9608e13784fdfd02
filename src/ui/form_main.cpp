// Form_Main's behaviour: the handlers, which turn the user's actions into calls on the
// run and the view, and the driving of a run one pass per event-loop turn. The
// controls are built in form_main_layout.cpp, their texts set in form_main_texts.cpp.

#include "ui/form_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QWheelEvent>
#include <charconv>
#include <cstdlib>

#include "core/run_error.h"
#include "ui/scene_widget.h"
#include "ui/shower_window.h"
#include "ui/version_panel.h"

namespace stelvo {

namespace {

constexpr int kAboutTop = 172;
constexpr int kWheelPositions = 5;  // slider positions per wheel event
constexpr double kDaysPerYear = 365.25;

// The text of the list's selected entry; empty when there is none, which includes
// typed text that differs from the entry last selected.
QString SelectedEntryText(const QComboBox* box) {
  const int index = box->currentIndex();
  if (index < 0 || box->currentText() != box->itemText(index)) return QString();
  return box->itemText(index);
}

int SelectedEntryIndex(const QComboBox* box) {
  const int index = box->currentIndex();
  return index >= 0 && box->currentText() == box->itemText(index) ? index : -1;
}

int IntegerValue(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok) throw RunError("'" + text.toStdString() + "' is not a valid integer value");
  return value;
}

double FloatValue(const QString& text) {
  bool ok = false;
  const double value = QLocale::c().toDouble(text, &ok);
  if (!ok) throw RunError("'" + text.toStdString() + "' is not a valid floating point value");
  return value;
}

}  // namespace

TForm_Main::TForm_Main(QWidget* parent) : QMainWindow(parent) {
  BuildWindow();
  RetranslateUi();
  ConnectHandlers();
  errorDisplay_ = [this](const QString& message) {
    QMessageBox::critical(this, QApplication::applicationName(), message);
  };
  terminate_ = [] {
    QCoreApplication::quit();
    std::_Exit(0);
  };
  // Wheel events are taken at window level whatever widget is under the pointer.
  qApp->installEventFilter(this);
  PlaceRestored();
  FormCreate();
}

TForm_Main::~TForm_Main() {
  qApp->removeEventFilter(this);
  if (language_ == Language::English) QCoreApplication::removeTranslator(&translator_);
}

void TForm_Main::ConnectHandlers() {
  passTimer_.setInterval(0);
  connect(&passTimer_, &QTimer::timeout, this, [this] { RunPass(); });
  connect(Button_Start, &QPushButton::clicked, this, [this] { Button_StartClick(); });
  connect(Button_Stop, &QPushButton::clicked, this, [this] { Button_StopClick(); });
  connect(Button_Exit, &QPushButton::clicked, this, [this] { Button_ExitClick(); });
  connect(Button_Explanation, &QPushButton::clicked, this, [this] { Button_ExplanationClick(); });
  for (QCheckBox* box : CheckBoxes) {
    connect(box, &QCheckBox::clicked, this, [this] { CheckBoxClick(); });
  }
  connect(TrackBar_Zoom, &QSlider::valueChanged, this, [this] { TrackBar_ZoomChange(); });
  connect(TrackBar_Incl, &QSlider::valueChanged, this, [this] { TrackBar_InclChange(); });
  connect(Panel_About->Button_About_OK, &QPushButton::clicked, this,
          [this] { Button_About_OKClick(); });
  connect(Exit1, &QAction::triggered, this, [this] { Button_ExitClick(); });
  connect(Opt_Deutsch, &QAction::triggered, this, [this] { SetLanguage(Language::German); });
  connect(Opt_English, &QAction::triggered, this, [this] { SetLanguage(Language::English); });
  connect(Version1, &QAction::triggered, this, [this] { Version1Click(); });
  connect(Showers1, &QAction::triggered, this, [this] { Showers1Click(); });
}

void TForm_Main::FormCreate() {
  ComboBox_Part->setCurrentIndex(6);  // "4000"
  ComboBox_Step->setCurrentIndex(4);  // "5"
  ComboBox_Dist->setCurrentIndex(0);  // "ueber Bahn"
  ComboBox_Kome->setCurrentIndex(62);
  orbits_ = MakePlanetOrbits();
  FormResize();
  // Replacing the design-time positions runs each slider's change handling.
  TrackBar_Incl->setValue(kStartIncl);
  TrackBar_Zoom->setValue(kStartZoom);
}

bool TForm_Main::event(QEvent* event) {
  // Activation handling runs once, when the window is first shown: later activations
  // come from switching between programs and must not hide the explanation again.
  if (event->type() == QEvent::Show && !activated_) {
    activated_ = true;
    const bool handled = QMainWindow::event(event);
    FormActivate();
    return handled;
  }
  return QMainWindow::event(event);
}

void TForm_Main::FormActivate() {
  Panel_About->FillVersionGrid(QCoreApplication::applicationFilePath());
  setWindowTitle(QStringLiteral("Stelvo ") + Panel_About->FileVersionCell());
  HelpMemo->hide();
  view_.ZoomScale = TrackBar_Zoom->value();
  SetZoomCaption();
  Button_Start->setFocus();
  FormResize();
}

void TForm_Main::FormResize() {
  LayOutClientArea();
  SetPanelGeometry(view_, Panel_Bild->width(), Panel_Bild->height());
  sceneWidget_->setGeometry(1, 1, view_.DrawWidth, view_.DrawHeight);
  scene_.Resize(view_);
  DrawBackgroundLayer();
  // A new size leaves the images silver: the run's last state is drawn again at the new
  // size, also after Stop, from the run state, which stays until the next Start.
  if (frameShowsRun_) DrawNewestFrame();
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const auto* wheel = static_cast<QWheelEvent*>(event);
    FormMouseWheel(wheel->angleDelta().y(), wheel->modifiers(), wheel->buttons());
    return true;  // no control of the window sees the wheel
  }
  if (watched == client_ && event->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(watched, event);
}

void TForm_Main::FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers,
                                Qt::MouseButtons buttons) {
  const int sign = (delta > 0) - (delta < 0);
  const bool noKeys = !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
  if (!noKeys) return;
  if (buttons == Qt::NoButton) {
    TrackBar_Zoom->setValue(TrackBar_Zoom->value() - kWheelPositions * sign);
  } else if (buttons == Qt::LeftButton) {
    TrackBar_Incl->setValue(TrackBar_Incl->value() - kWheelPositions * sign);
  }
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  event->accept();
  FormClose();
}

void TForm_Main::FormClose() { terminate_(); }

void TForm_Main::Button_ExitClick() { terminate_(); }

void TForm_Main::Button_ExplanationClick() { HelpMemo->setHidden(!HelpMemo->isHidden()); }

void TForm_Main::CheckBoxClick() { UpdateView(); }

void TForm_Main::TrackBar_ZoomChange() { UpdateView(); }

void TForm_Main::TrackBar_InclChange() { UpdateView(); }

void TForm_Main::UpdateView() {
  stelvo::UpdateView(view_, TrackBar_Zoom->value(), TrackBar_Incl->value());
  SetZoomCaption();
  DrawBackgroundLayer();
}

void TForm_Main::DrawBackgroundLayer() {
  if (scene_.Background().isNull()) return;
  DrawBackground(scene_.Background(), view_, orbits_, Ticks());
}

PlanetTicks TForm_Main::Ticks() const {
  PlanetTicks ticks{};
  for (int n = 1; n <= 9; ++n) ticks[n] = CheckBoxes[n - 1]->isChecked();
  return ticks;
}

void TForm_Main::Version1Click() {
  Panel_About->Label_Stelvo->setText(QStringLiteral("Stelvo ") + Panel_About->FileVersionCell());
  Panel_About->Label_Stelvo->adjustSize();
  Panel_About->move(frameGeometry().width() / 2 - TPanelAbout::kWidth / 2, kAboutTop);
  Panel_About->show();
  Panel_About->raise();
}

void TForm_Main::Button_About_OKClick() { Panel_About->hide(); }

void TForm_Main::Showers1Click() {
  Form_Showers->show();
  Form_Showers->raise();
  Form_Showers->activateWindow();
}

void TForm_Main::SetSelectionEnabled(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           Button_Start, ComboBox_Part, ComboBox_Step, ComboBox_Dist, ComboBox_Kome}) {
    control->setEnabled(enabled);
  }
}

void TForm_Main::Button_StartClick() {
  // Start acts only from Idle, after any earlier loop has returned.
  if (phase_ != RunPhase::Idle || loopActive_) return;
  Running = true;
  phase_ = RunPhase::Running;
  SetSelectionEnabled(false);
  Button_Stop->setFocus();
  UpdateView();
  RunSimulation();
}

void TForm_Main::RunSimulation() {
  frameShowsRun_ = false;  // the run state is rebuilt from here on
  Form_Showers->BeginRun();  // the last run's showers go, whether or not this one starts
  try {
    RunSettings settings;
    settings.BodyCount = IntegerValue(SelectedEntryText(ComboBox_Part));
    settings.StepDays = FloatValue(SelectedEntryText(ComboBox_Step));
    settings.CometIndex = ComboBox_Kome->currentIndex();
    settings.Distribution = SelectedEntryIndex(ComboBox_Dist);
    settings.DistributionText = ComboBox_Dist->currentText().toStdString();
    run_.Begin(settings);
  } catch (const std::exception& error) {
    Fail(QString::fromStdString(error.what()));
    return;
  }
  loopActive_ = true;
  passOpen_ = false;
  if (automaticPasses_) passTimer_.start();
}

bool TForm_Main::RunPass() {
  if (!loopActive_) return false;
  try {
    FinishOpenPass();
    if (!Running) {
      EndLoop();
      return false;
    }
    run_.Step();
    Form_Showers->AfterStep(run_.State(), run_.Pool());
  } catch (const std::exception& error) {
    Fail(QString::fromStdString(error.what()));
    return false;
  }
  passOpen_ = true;
  frameShowsRun_ = true;
  DrawNewestFrame();
  const RunState& state = run_.State();
  // The time is written without a heap allocation and the label is touched only when
  // its text changes, so a pass that keeps the text allocates nothing.
  char time[64];
  const auto written = std::to_chars(time, time + sizeof time, state.SimDays / kDaysPerYear,
                                     std::chars_format::fixed, 2);
  const QLatin1String timeText(time, written.ec == std::errc() ? written.ptr - time : 0);
  if (Label1->text() != timeText) {
    SetTimeLabel(timeText);
    Label1->repaint();
  }
  return true;
}

BodyPositions TForm_Main::NewestPositions() const {
  const RunState& state = run_.State();
  // The step's new point is in CurrentSlot until its pass is finished; the history
  // shift then moves it one slot down, where it stays after Stop or a failed step.
  const int slot = passOpen_ ? state.CurrentSlot : state.CurrentSlot - 1;
  return {state.Pos(kX, slot), state.Pos(kY, slot), state.Pos(kZ, slot), state.BodyCount};
}

void TForm_Main::DrawNewestFrame() {
  scene_.DrawNextFrame(view_, NewestPositions(), Ticks());
  sceneWidget_->update();
}

void TForm_Main::FinishOpenPass() {
  if (!passOpen_) return;
  passOpen_ = false;
  run_.FinishPass();
}

void TForm_Main::EndLoop() {
  passTimer_.stop();
  loopActive_ = false;
  passOpen_ = false;
}

void TForm_Main::Fail(const QString& message) {
  EndLoop();
  Form_Showers->EndRun();
  Running = false;
  phase_ = RunPhase::Failed;
  errorDisplay_(message);
}

void TForm_Main::Button_StopClick() {
  Running = false;
  SetSelectionEnabled(true);
  ComboBox_Kome->setFocus();
  // The pass under way is finished now, so the loop has ended when Stop returns and
  // a following Start begins a fresh run.
  if (loopActive_) {
    try {
      FinishOpenPass();
    } catch (const std::exception& error) {
      EndLoop();
      phase_ = RunPhase::Idle;
      errorDisplay_(QString::fromStdString(error.what()));
      return;
    }
    EndLoop();
    Form_Showers->EndRun();
  }
  phase_ = RunPhase::Idle;
}

void TForm_Main::SetErrorDisplay(std::function<void(const QString&)> display) {
  errorDisplay_ = std::move(display);
}

void TForm_Main::SetTerminator(std::function<void()> terminate) {
  terminate_ = std::move(terminate);
}

void TForm_Main::SetThreads(int threads) {
  if (!loopActive_) run_.SetThreads(threads);
}

void TForm_Main::SetAutomaticPasses(bool automatic) {
  automaticPasses_ = automatic;
  if (!automatic)
    passTimer_.stop();
  else if (loopActive_)
    passTimer_.start();
}

}  // namespace stelvo
