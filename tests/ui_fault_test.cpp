// A run that meets an arithmetic error in the window: the message is shown once,
// the loop ends at once, the last frame and the last time stay, nothing of the failed
// step reaches the picture, and Stop brings the window back to Idle for a fresh run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>
#include <limits>
#include <string>

#include "ui/form_main.h"
#include "ten_body_fixture.h"
#include "ui_fixture.h"

namespace stelvo {
namespace {

constexpr int kMercury = 1, kVenus = 2;  // array rows of bodies 2 and 3

enum class Fault { kDivisionByZero, kOverflow };

class FormFaultTest : public testing::WindowFixture {
 protected:
  void StartRun() {
    WindowFixture::StartRun();
    ASSERT_EQ(form.Phase(), RunPhase::Running);
  }

  // The window hands out its run read-only; the tests reach into the state of that
  // (non-const) run to plant a fault between two passes.
  RunState& State() { return const_cast<SimulationRun&>(form.Run()).MutableState(); }

  // Gives Mercury Venus's whole stored history, so that the next step predicts both
  // at the same place and their mutual attraction divides by zero.
  void PutMercuryOnVenus() { testing::CopyHistory(State(), kMercury, kVenus); }

  // A Sun so heavy that its pull on Mercury exceeds the largest double.
  void MakeTheSunHuge() { State().BodyGM()[0] = std::numeric_limits<double>::max(); }

  // What the drawing area shows on screen, bevel included.
  QImage Shown() { return form.Panel_Bild->grab().toImage(); }

  bool PositionsFinite() const {
    const RunState& s = form.Run().State();
    for (int axis = kX; axis <= kZ; ++axis) {
      const double* p = s.Pos(axis, s.CurrentSlot);
      for (int i = 0; i < s.BodyCount; ++i) {
        if (!std::isfinite(p[i])) return false;
      }
    }
    return true;
  }

  void ExpectFailedControls() {
    EXPECT_EQ(form.Phase(), RunPhase::Failed);
    for (QWidget* control : SelectionControls()) {
      EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }
    EXPECT_TRUE(form.Button_Stop->isEnabled());
    EXPECT_TRUE(form.TrackBar_Zoom->isEnabled());
  }

  // Fails the next pass with `fault` after three good ones and checks what stays.
  void Plant(Fault fault) {
    if (fault == Fault::kDivisionByZero)
      PutMercuryOnVenus();
    else
      MakeTheSunHuge();
  }

  void FailAfterThreePasses(Fault fault, const QString& message) {
    StartRun();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(form.RunPass());
    const QImage frame = form.Scene().Presented().copy();
    const QImage shown = Shown();
    const int frameIndex = form.Scene().FrameIndex();
    const QString time = form.Label1->text();
    ASSERT_EQ(time, QStringLiteral("0.08"));  // 35 days

    Plant(fault);
    EXPECT_FALSE(form.RunPass());

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], message);
    ExpectFailedControls();
    EXPECT_EQ(form.Scene().Presented(), frame);
    EXPECT_EQ(form.Scene().FrameIndex(), frameIndex);
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(form.Label1->text(), time);
    // No loop is left to drive: further passes do nothing and report nothing.
    EXPECT_FALSE(form.RunPass());
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(form.Scene().Presented(), frame);
  }
};

// --- arithmetic errors during a run

struct FaultCase {
  Fault fault;
  const char* message;
  const char* name;
};

class FormFaultMessageTest : public FormFaultTest,
                             public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FormFaultMessageTest, ShowsTheMessageAndKeepsFrameAndTime) {
  FailAfterThreePasses(GetParam().fault, QString::fromLatin1(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    , FormFaultMessageTest,
    ::testing::Values(FaultCase{Fault::kDivisionByZero, "Floating point division by zero",
                                "DivisionByZero"},
                      FaultCase{Fault::kOverflow, "Floating point overflow", "Overflow"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormFaultTest, FailureInTheFirstStepLeavesTheStartPicture) {
  const QImage silver = form.Scene().Presented().copy();
  StartRun();
  PutMercuryOnVenus();
  EXPECT_FALSE(form.RunPass());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("Floating point division by zero"));
  ExpectFailedControls();
  EXPECT_EQ(form.Scene().Presented(), silver);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0"));
}

TEST_F(FormFaultTest, ViewChangesWhileFailedNeverDrawTheFailedStep) {
  StartRun();
  for (int i = 0; i < 2; ++i) form.RunPass();
  const QImage frame = form.Scene().Presented().copy();
  PutMercuryOnVenus();
  form.RunPass();
  ASSERT_EQ(form.Phase(), RunPhase::Failed);
  // Check boxes and sliders redraw the background only; the picture stays.
  form.CheckBoxes[2]->click();
  form.TrackBar_Zoom->setValue(form.TrackBar_Zoom->value() + 10);
  form.TrackBar_Incl->setValue(10);
  QApplication::processEvents();
  EXPECT_EQ(form.Scene().Presented(), frame);
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FormFaultTest, EventLoopStopsAtTheFailureAndShowsTheMessageOnce) {
  form.SetAutomaticPasses(true);
  StartRun();
  ProcessEventsWhile([&] { return form.Label1->text() == QStringLiteral("0"); });
  PutMercuryOnVenus();
  ProcessEventsWhile([&] { return form.Phase() == RunPhase::Running; });
  ASSERT_EQ(form.Phase(), RunPhase::Failed);
  const double failedAt = form.Run().State().SimDays;
  const QImage frame = form.Scene().Presented().copy();
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  EXPECT_EQ(form.Run().State().SimDays, failedAt);
  EXPECT_EQ(form.Scene().Presented(), frame);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("Floating point division by zero"));
}

// --- after the failure

TEST_F(FormFaultTest, StopAfterAFailureRestoresTheIdleControls) {
  StartRun();
  form.RunPass();
  PutMercuryOnVenus();
  form.RunPass();
  ASSERT_EQ(form.Phase(), RunPhase::Failed);
  const QImage frame = form.Scene().Presented().copy();
  form.Button_Stop->click();
  ExpectIdleControls();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(form.Scene().Presented(), frame);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
}

TEST_F(FormFaultTest, StartAfterAFailureRunsNormallyFromTheEpoch) {
  StartRun();
  for (int i = 0; i < 3; ++i) form.RunPass();
  MakeTheSunHuge();
  form.RunPass();
  form.Button_Stop->click();
  const QImage kept = form.Scene().Presented().copy();

  form.Button_Start->click();
  ASSERT_EQ(form.Phase(), RunPhase::Running);
  EXPECT_NEAR(form.Run().State().BodyGM()[0], 2.9591220828559e-4, 1e-16);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(form.RunPass());
    EXPECT_TRUE(PositionsFinite());
  }
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.11"));  // 40 days
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_NE(form.Scene().Presented(), kept);
  // The Sun's disc at the projection centre of the new frame.
  const QImage& frame = form.Scene().Presented();
  EXPECT_EQ(frame.pixel(form.View().CentreX, form.View().CentreY), qRgb(255, 255, 0));
}

// After a failure the picture keeps the last good frame also through a resize: it is
// drawn again from the last accepted state, never from the failed step's points.
TEST_F(FormFaultTest, ResizeAfterAFailureDrawsTheLastAcceptedStateAgain) {
  StartRun();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(form.RunPass());
  const QImage frame = form.Scene().Presented().copy();
  PutMercuryOnVenus();  // Mercury's box is not ticked, so its new place does not show
  ASSERT_FALSE(form.RunPass());
  ASSERT_EQ(form.Phase(), RunPhase::Failed);

  const QSize size = form.size();
  form.resize(size + QSize(40, 30));
  QApplication::processEvents();
  ASSERT_NE(form.Scene().Presented().size(), frame.size());
  form.resize(size);
  QApplication::processEvents();
  EXPECT_EQ(form.Scene().Presented(), frame);
}

}  // namespace
}  // namespace stelvo
