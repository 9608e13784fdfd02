#pragma once
// Form_Main: the program's one window. It lays out the controls, turns the user's
// actions into calls on the run (core) and the view (view), and shows the newest
// complete frame. A run is driven one pass per event-loop turn by a zero-interval
// timer, so every handler acts between two passes and no run can start inside another.
// Split by job: form_main_layout.cpp builds and places the controls, form_main_texts.cpp
// holds and switches their texts, form_main.cpp holds the handlers and the run loop.

#include <QMainWindow>
#include <QTimer>
#include <QTranslator>
#include <array>
#include <functional>
#include <memory>

#include "run/simulation_run.h"
#include "view/background.h"
#include "view/scene_images.h"
#include "view/view_state.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QStatusBar;

namespace stelvo {

class TPanelAbout;
class TForm_Showers;
class SceneWidget;

enum class RunPhase { Idle, Running, Failed };

// The language of the window's texts; German at every start, nothing is kept.
enum class Language { German, English };

class TForm_Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_Main(QWidget* parent = nullptr);
  ~TForm_Main() override;

  // --- controls of the top strip
  QFrame* Panel_Bttm;
  QLabel* Label6;
  QComboBox* ComboBox_Kome;
  QPushButton* Button_Start;
  QPushButton* Button_Stop;
  QPushButton* Button_Exit;
  QPushButton* Button_Explanation;
  QLabel* Label5;
  QLabel* Label1;
  QLabel* Label4;
  QLabel* Label2;
  QComboBox* ComboBox_Part;
  QLabel* Label9;
  QComboBox* ComboBox_Dist;
  QLabel* Label3;
  QComboBox* ComboBox_Step;
  std::array<QCheckBox*, 9> CheckBoxes;  // CheckBox1 (the Sun) .. CheckBox9 (Neptune)
  QLabel* Label_Zoom;
  QSlider* TrackBar_Zoom;
  // --- the rest of the window
  QFrame* Panel_Rght;
  QSlider* TrackBar_Incl;
  QFrame* Panel_Bild;
  QPlainTextEdit* HelpMemo;
  QStatusBar* StatusBar1;
  TPanelAbout* Panel_About;
  TForm_Showers* Form_Showers;  // the meteor shower window, a top-level window of its own
  // --- menu
  QAction* Exit1;
  QAction* Opt_Deutsch;
  QAction* Opt_English;
  QAction* Help2;
  QAction* Version1;
  QAction* System1;
  QAction* Showers1;  // "Meteorströme": shows Form_Showers

  // --- handlers
  void FormActivate();
  void FormResize();
  void FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
  void FormClose();
  void Button_StartClick();
  void Button_StopClick();
  void Button_ExitClick();
  void Button_ExplanationClick();
  void CheckBoxClick();
  void TrackBar_ZoomChange();
  void TrackBar_InclChange();
  void Version1Click();
  void Button_About_OKClick();
  void Showers1Click();
  // Switches every window text; selections, typed text, the run and the view stay.
  void SetLanguage(Language language);

  // --- state, and hooks for driving the window without an event loop
  RunPhase Phase() const { return phase_; }
  Language CurrentLanguage() const { return language_; }
  const SimulationRun& Run() const { return run_; }
  const ViewState& View() const { return view_; }
  const SceneImages& Scene() const { return scene_; }
  // Where errors are shown; a message box unless replaced.
  void SetErrorDisplay(std::function<void(const QString&)> display);
  // What Exit and closing do; ending the process unless replaced.
  void SetTerminator(std::function<void()> terminate);
  // Threads that share the run's particles (all cores unless set); ignored while a
  // run loop is active. The pictures do not depend on it.
  void SetThreads(int threads);
  // With automatic driving off, passes run only through RunPass.
  void SetAutomaticPasses(bool automatic);
  // One turn of the run loop: finishes the previous pass (time advanced, history
  // shifted), then, while Running, computes a step, draws its frame and shows the
  // time. Returns whether a loop is still active.
  bool RunPass();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // --- layout (form_main_layout.cpp)
  void BuildWindow();
  void BuildTopStrip();
  void BuildPlanetBoxes();
  void BuildHelpMemo();
  void BuildMenu();
  void SetTabOrder();
  void PlaceRestored();
  void LayOutClientArea();
  void SetTimeLabel(const QString& text);
  // Fit each control group's texts into its room: a narrower or smaller font, or a
  // control grown up to its neighbour.
  void FitButtons();
  void FitCaptions();
  void FitCheckBoxes();
  void FitLists();
  void FitHelpMemo();
  // --- texts (form_main_texts.cpp)
  void RetranslateUi();
  void RetranslateDistributionList();
  void SetZoomCaption();
  // --- behaviour (form_main.cpp)
  void ConnectHandlers();
  void FormCreate();
  void UpdateView();
  void DrawBackgroundLayer();
  void RunSimulation();
  void FinishOpenPass();
  // The run's newest accepted positions, and a frame of them drawn and shown.
  BodyPositions NewestPositions() const;
  void DrawNewestFrame();
  void EndLoop();
  void Fail(const QString& message);
  void SetSelectionEnabled(bool enabled);
  PlanetTicks Ticks() const;

  bool Running = false;  // true from Start until Stop; the loop runs while it is true
  RunPhase phase_ = RunPhase::Idle;
  Language language_ = Language::German;
  QTranslator translator_;
  bool loopActive_ = false;
  bool passOpen_ = false;  // a step was drawn; its time advance and shift are due
  // The picture shows the run state's newest accepted point, which a resize redraws.
  bool frameShowsRun_ = false;
  bool activated_ = false;
  bool automaticPasses_ = true;
  QTimer passTimer_;
  SimulationRun run_;
  ViewState view_;
  SceneImages scene_;
  PlanetOrbits orbits_;
  QWidget* client_;
  SceneWidget* sceneWidget_;
  std::function<void(const QString&)> errorDisplay_;
  std::function<void()> terminate_;
  std::unique_ptr<TForm_Showers> showersWindow_;  // owns Form_Showers
};

}  // namespace stelvo
