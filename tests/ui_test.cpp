#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QWheelEvent>

#include "ui/form_main.h"
#include "ui/version_panel.h"
#include "ui_fixture.h"

namespace stelvo {
namespace {

class FormMainTest : public testing::WindowFixture {
 protected:
  void Wheel(QWidget* target, int delta, Qt::MouseButtons buttons = Qt::NoButton,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      buttons, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }
};

// --- start-up

TEST_F(FormMainTest, StartUpSelectionsSlidersAndLabels) {
  EXPECT_EQ(form.ComboBox_Kome->currentIndex(), 62);
  EXPECT_EQ(form.ComboBox_Kome->count(), 588);
  EXPECT_EQ(form.ComboBox_Part->currentText(), QStringLiteral("4000"));
  EXPECT_EQ(form.ComboBox_Dist->currentText(), QStringLiteral("ueber Bahn"));
  EXPECT_EQ(form.ComboBox_Step->currentText(), QStringLiteral("5"));
  EXPECT_EQ(form.TrackBar_Incl->value(), 45);
  EXPECT_EQ(form.TrackBar_Zoom->value(), 87);
  EXPECT_EQ(form.View().ZoomScale, 87);
  EXPECT_DOUBLE_EQ(form.View().InclinationDeg, -45.0);
  EXPECT_EQ(form.Label_Zoom->text(), QStringLiteral("Zoomfaktor (87)"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0"));
  EXPECT_EQ(form.focusWidget(), form.Button_Start);
  EXPECT_TRUE(form.HelpMemo->isHidden());
  EXPECT_TRUE(form.Panel_About->isHidden());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Stelvo " STELVO_VERSION));
  EXPECT_EQ(form.Phase(), RunPhase::Idle);
}

TEST_F(FormMainTest, StartUpCheckBoxes) {
  const bool ticked[9] = {true, false, false, true, false, true, false, false, false};
  const char* captions[9] = {"Son", "Mer", "Ven", "Erd", "Mar", "Jup", "Sat", "Ura", "Nep"};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(form.CheckBoxes[i]->isChecked(), ticked[i]) << i + 1;
    EXPECT_EQ(form.CheckBoxes[i]->text(), QLatin1String(captions[i]));
    EXPECT_EQ(form.CheckBoxes[i]->isEnabled(), i != 0) << i + 1;
  }
}

TEST_F(FormMainTest, ControlTextsAndTopStripPlaces) {
  EXPECT_EQ(form.Button_Start->text(), QStringLiteral("&Start der Simulation"));
  EXPECT_EQ(form.Button_Stop->text(), QStringLiteral("S&top der Simulation"));
  EXPECT_EQ(form.Button_Exit->text(), QStringLiteral("E&xit"));
  EXPECT_EQ(form.Button_Explanation->text(), QString::fromUtf8("&Erklärung ein/aus"));
  EXPECT_EQ(form.Label2->text(), QStringLiteral("Anzahl Partikel"));
  EXPECT_EQ(form.Label9->text(), QStringLiteral("Startverteilung"));
  EXPECT_EQ(form.Label3->text(), QStringLiteral("Schrittweite (Tg)"));
  EXPECT_EQ(form.Label5->text(), QStringLiteral("Simulierte Zeit"));
  EXPECT_EQ(form.Label4->text(), QStringLiteral("Jahre"));
  EXPECT_EQ(form.ComboBox_Kome->geometry(), QRect(2, 25, 1119, 24));
  EXPECT_EQ(form.Button_Start->geometry(), QRect(2, 54, 137, 33));
  EXPECT_EQ(form.Button_Exit->geometry(), QRect(2, 134, 137, 32));
  EXPECT_EQ(form.ComboBox_Step->geometry(), QRect(462, 115, 70, 24));
  EXPECT_EQ(form.TrackBar_Zoom->geometry(), QRect(721, 72, 249, 41));
  EXPECT_EQ(form.CheckBoxes[4]->geometry(), QRect(562, 142, 68, 25));
  EXPECT_EQ(form.CheckBoxes[8]->geometry(), QRect(633, 121, 68, 25));
  EXPECT_EQ(form.Panel_Bttm->height(), 170);
  EXPECT_EQ(form.Panel_Rght->width(), 40);
  EXPECT_EQ(form.StatusBar1->height(), 25);
  EXPECT_EQ(form.Panel_Bttm->palette().color(QPalette::Window), QColor(189, 184, 172));
  EXPECT_EQ(form.Panel_Rght->palette().color(QPalette::Window), QColor(189, 184, 172));
  EXPECT_EQ(form.TrackBar_Zoom->minimum(), 15);
  EXPECT_EQ(form.TrackBar_Zoom->maximum(), 150);
  EXPECT_EQ(form.TrackBar_Zoom->tickInterval(), 5);
  EXPECT_EQ(form.TrackBar_Incl->maximum(), 90);
  EXPECT_EQ(form.TrackBar_Incl->tickInterval(), 10);
}

TEST_F(FormMainTest, CatalogueColumnsLineUpInAFixedPitchFont) {
  const QFontMetrics list(form.ComboBox_Kome->font());
  EXPECT_EQ(list.horizontalAdvance(QStringLiteral("iiiii")),
            list.horizontalAdvance(QStringLiteral("MMMMM")))
      << QFontInfo(form.ComboBox_Kome->font()).family().toStdString();
  const QFontMetrics header(form.Label6->font());
  EXPECT_EQ(header.horizontalAdvance(QStringLiteral("iiiii")),
            header.horizontalAdvance(QStringLiteral("MMMMM")));
}

TEST_F(FormMainTest, ExplanationHasTwentyLines) {
  const QStringList lines = form.HelpMemo->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 20);
  EXPECT_EQ(lines[0], QStringLiteral("Stelvo.EXE:"));
  EXPECT_EQ(lines[8], QStringLiteral("Bedienung:"));
  EXPECT_EQ(lines[16], QStringLiteral("8. Verlassen des Programmes mit Exit."));
  for (int empty : {6, 7, 17, 19}) EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  EXPECT_FALSE(form.HelpMemo->isReadOnly());
}

TEST_F(FormMainTest, TabOrderFollowsTheStrip) {
  const std::vector<QWidget*> order = {
      form.Button_Start,  form.Button_Exit,        form.ComboBox_Part, form.ComboBox_Step,
      form.ComboBox_Kome, form.Button_Explanation, form.ComboBox_Dist, form.Button_Stop,
      form.TrackBar_Zoom, form.CheckBoxes[0]};
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget* next = order[i - 1]->nextInFocusChain();
    // The line edit of an editable list belongs to the list.
    while (next != order[i] &&
           (next->focusPolicy() == Qt::NoFocus || order[i - 1]->isAncestorOf(next))) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, order[i]) << i;
  }
}

TEST_F(FormMainTest, MenuEntries) {
  const QList<QAction*> top = form.menuBar()->actions();
  ASSERT_EQ(top.size(), 8);  // the seven below, then the shower window's entry
  const char* texts[7] = {"&File", "", "&Language", "", "&Help", "", "System"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(top[i]->text(), QLatin1String(texts[i])) << i;
  EXPECT_FALSE(top[6]->isEnabled());
  EXPECT_EQ(top[7], form.Showers1);
  EXPECT_EQ(form.Exit1->text(), QStringLiteral("E&xit"));
  EXPECT_FALSE(form.Help2->isEnabled());
  EXPECT_EQ(form.Version1->text(), QStringLiteral("Kelvaro &Version information"));
  // The language entries are radio items; what they switch: ui_language_test.
  EXPECT_TRUE(form.Opt_Deutsch->isChecked());
  EXPECT_FALSE(form.Opt_English->isChecked());
}

// --- runs

TEST_F(FormMainTest, StartDisablesSelectionAndShowsFirstTime) {
  StartRun();
  EXPECT_EQ(form.Phase(), RunPhase::Running);
  for (QWidget* control : SelectionControls()) EXPECT_FALSE(control->isEnabled());
  EXPECT_TRUE(form.Button_Stop->isEnabled());
  EXPECT_TRUE(form.TrackBar_Zoom->isEnabled());
  EXPECT_EQ(form.focusWidget(), form.Button_Stop);
  EXPECT_EQ(form.Run().State().BodyCount, 50);
  EXPECT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
  EXPECT_EQ(form.Label1->geometry().right() + 1, 227);  // grows to the left
  EXPECT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.07"));  // 25 / 365.25
  EXPECT_TRUE(errors.empty());
}

TEST_F(FormMainTest, StepOfTenDaysShowsElevenHundredthsFirst) {
  StartRun(QStringLiteral("10"));
  form.RunPass();
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.11"));
}

TEST_F(FormMainTest, StopEndsTheLoopAfterTheCurrentPassKeepingFrameAndTime) {
  StartRun();
  for (int i = 0; i < 3; ++i) form.RunPass();
  const QImage frame = form.Scene().Presented().copy();
  const QString time = form.Label1->text();
  form.Button_Stop->click();
  ExpectIdleControls();
  // The stopped pass was finished: three steps after the start-up's four.
  EXPECT_DOUBLE_EQ(form.Run().State().SimDays, 7 * 5.0);
  EXPECT_FALSE(form.RunPass());
  EXPECT_EQ(form.Scene().Presented(), frame);
  EXPECT_EQ(form.Label1->text(), time);
  EXPECT_DOUBLE_EQ(form.Run().State().SimDays, 7 * 5.0);
}

TEST_F(FormMainTest, SecondStartBeginsAnewWithADifferentCloud) {
  StartRun();
  form.RunPass();
  const double firstX = form.Run().State().Pos(kX, form.Run().State().CurrentSlot)[20];
  form.Button_Stop->click();
  form.Button_Start->click();
  form.RunPass();
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
  const double secondX = form.Run().State().Pos(kX, form.Run().State().CurrentSlot)[20];
  EXPECT_NE(firstX, secondX);
}

TEST_F(FormMainTest, StartDuringARunDoesNothing) {
  StartRun();
  form.RunPass();
  form.Button_StartClick();  // as if a click slipped through
  EXPECT_EQ(form.Phase(), RunPhase::Running);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
  EXPECT_DOUBLE_EQ(form.Run().State().SimDays, 4 * 5.0);
}

TEST_F(FormMainTest, EventLoopDrivesPassesUntilStop) {
  form.SetAutomaticPasses(true);
  StartRun();
  ProcessEventsWhile([&] { return form.Label1->text() == QStringLiteral("0"); });
  EXPECT_NE(form.Label1->text(), QStringLiteral("0"));
  form.Button_Stop->click();
  const double stoppedAt = form.Run().State().SimDays;
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  EXPECT_EQ(form.Run().State().SimDays, stoppedAt);
}

// --- errors

TEST_F(FormMainTest, TypedParticleCountFailsWithIntegerMessageUntilStop) {
  form.ComboBox_Part->setEditText(QStringLiteral("300"));
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("'' is not a valid integer value"));
  EXPECT_EQ(form.Phase(), RunPhase::Failed);
  for (QWidget* control : SelectionControls()) EXPECT_FALSE(control->isEnabled());
  EXPECT_FALSE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0"));
  form.Button_Stop->click();
  EXPECT_EQ(form.Phase(), RunPhase::Idle);
  for (QWidget* control : SelectionControls()) EXPECT_TRUE(control->isEnabled());
}

TEST_F(FormMainTest, TypedStepWidthFailsWithFloatingPointMessage) {
  Select(form.ComboBox_Part, QStringLiteral("50"));
  form.ComboBox_Step->setEditText(QStringLiteral("5"));  // equal to the entry: still selected
  form.Button_Start->click();
  EXPECT_TRUE(errors.empty());
  form.Button_Stop->click();
  form.ComboBox_Step->setEditText(QStringLiteral("7"));
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("'' is not a valid floating point value"));
  EXPECT_EQ(form.Phase(), RunPhase::Failed);
}

TEST_F(FormMainTest, TypedDistributionIsRefusedByTheRun) {
  Select(form.ComboBox_Part, QStringLiteral("50"));
  form.ComboBox_Dist->setEditText(QStringLiteral("irgendwie"));
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].isEmpty());
  EXPECT_EQ(form.Phase(), RunPhase::Failed);
  form.Button_Stop->click();
  EXPECT_EQ(form.Phase(), RunPhase::Idle);
}

TEST_F(FormMainTest, TypedDistributionDoesNotStopARunWithoutParticles) {
  Select(form.ComboBox_Part, QStringLiteral("50"));
  form.ComboBox_Kome->setCurrentIndex(1);
  form.ComboBox_Dist->setEditText(QStringLiteral("irgendwie"));
  form.Button_Start->click();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form.Phase(), RunPhase::Running);
  EXPECT_TRUE(form.RunPass());
  EXPECT_EQ(form.Run().State().BodyCount, 10);
  form.Button_Stop->click();
}

TEST_F(FormMainTest, TypedTextNeverBecomesAnItem) {
  QLineEdit* edit = form.ComboBox_Part->lineEdit();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("777"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form.ComboBox_Part->count(), 9);
  EXPECT_EQ(form.ComboBox_Part->findText(QStringLiteral("777")), -1);
}

// --- mouse wheel

TEST_F(FormMainTest, WheelMovesZoomByFiveWithinItsRange) {
  form.TrackBar_Zoom->setValue(150);
  Wheel(form.ComboBox_Kome, +120);  // away from the user
  EXPECT_EQ(form.TrackBar_Zoom->value(), 145);
  EXPECT_EQ(form.Label_Zoom->text(), QStringLiteral("Zoomfaktor (145)"));
  EXPECT_EQ(form.ComboBox_Kome->currentIndex(), 62);  // the list under it saw nothing
  form.TrackBar_Zoom->setValue(150);
  const qint64 background = form.Scene().Background().cacheKey();
  Wheel(form.TrackBar_Zoom, -360);  // towards the user, large turn: still one move
  EXPECT_EQ(form.TrackBar_Zoom->value(), 150);
  EXPECT_EQ(form.Scene().Background().cacheKey(), background);  // nothing redrawn
  Wheel(form.Panel_Bild, -120);
  EXPECT_EQ(form.TrackBar_Zoom->value(), 150);
  form.TrackBar_Zoom->setValue(100);
  Wheel(form.TrackBar_Incl, -1);
  EXPECT_EQ(form.TrackBar_Zoom->value(), 105);
  EXPECT_EQ(form.TrackBar_Incl->value(), 45);
}

TEST_F(FormMainTest, WheelWithCtrlOrRightButtonChangesNothing) {
  Wheel(form.Panel_Bild, 120, Qt::NoButton, Qt::ControlModifier);
  Wheel(form.Panel_Bild, 120, Qt::RightButton);
  Wheel(form.Panel_Bild, 120, Qt::LeftButton, Qt::ShiftModifier);
  Wheel(form.Panel_Bild, 120, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(form.TrackBar_Zoom->value(), 87);
  EXPECT_EQ(form.TrackBar_Incl->value(), 45);
}

TEST_F(FormMainTest, WheelWithLeftButtonMovesInclination) {
  Wheel(form.Panel_Bild, 120, Qt::LeftButton);
  EXPECT_EQ(form.TrackBar_Incl->value(), 40);
  EXPECT_DOUBLE_EQ(form.View().InclinationDeg, -40.0);
  Wheel(form.Panel_Bild, -120, Qt::LeftButton);
  Wheel(form.Panel_Bild, -120, Qt::LeftButton);
  EXPECT_EQ(form.TrackBar_Incl->value(), 50);
  EXPECT_EQ(form.TrackBar_Zoom->value(), 87);
}

// --- explanation, check boxes, version panel, ending

TEST_F(FormMainTest, ExplanationButtonToggles) {
  form.Button_Explanation->click();
  EXPECT_FALSE(form.HelpMemo->isHidden());
  form.Button_Explanation->click();
  EXPECT_TRUE(form.HelpMemo->isHidden());
}

TEST_F(FormMainTest, ExplanationShowsItsWholeTextAtItsPlaceAndWidth) {
  form.Button_Explanation->click();
  QApplication::processEvents();
  EXPECT_EQ(form.HelpMemo->pos(), QPoint(9, 9));
  EXPECT_EQ(form.HelpMemo->width(), 864);
  EXPECT_GE(form.HelpMemo->height(), 304);
  QTextCursor end = form.HelpMemo->textCursor();
  end.movePosition(QTextCursor::End);
  EXPECT_LE(form.HelpMemo->cursorRect(end).bottom(), form.HelpMemo->viewport()->height());
  EXPECT_EQ(form.HelpMemo->verticalScrollBar()->value(), 0);
}

TEST_F(FormMainTest, CheckBoxChangesBackgroundAndReachesThePictureWithTheNextFrame) {
  // Comet entry 1 runs without particles, so the frame is background and discs.
  form.ComboBox_Kome->setCurrentIndex(1);
  const QImage withJupiter = form.Scene().Background().copy();
  const QImage shown = form.Scene().Presented().copy();
  form.CheckBoxes[5]->click();  // Jupiter off
  const QImage withoutJupiter = form.Scene().Background().copy();
  EXPECT_NE(withoutJupiter, withJupiter);
  EXPECT_EQ(form.Scene().Presented(), shown);  // the picture waits for a frame

  StartRun();
  form.RunPass();
  const QImage& frame = form.Scene().Presented();
  int changed = 0, followed = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      if (withJupiter.pixel(x, y) == withoutJupiter.pixel(x, y)) continue;
      ++changed;
      followed += frame.pixel(x, y) == withoutJupiter.pixel(x, y);
    }
  }
  ASSERT_GT(changed, 100);
  EXPECT_GT(followed, changed * 9 / 10);
}

TEST_F(FormMainTest, VersionPanelShowsAboveTheDrawingAreaUntilOk) {
  form.Version1->trigger();
  EXPECT_FALSE(form.Panel_About->isHidden());
  EXPECT_EQ(form.Panel_About->Label_Stelvo->text(), QStringLiteral("Stelvo " STELVO_VERSION));
  EXPECT_EQ(form.Panel_About->pos(), QPoint(form.frameGeometry().width() / 2 - 345 / 2, 172));
  EXPECT_EQ(form.Panel_About->size(), QSize(345, 473));
  EXPECT_EQ(form.Panel_About->StringGrid_VersionsInfo->item(12, 1)->text(),
            QStringLiteral("Application"));
  form.Panel_About->Button_About_OK->click();
  EXPECT_TRUE(form.Panel_About->isHidden());
}

TEST_F(FormMainTest, ExitButtonMenuAndClosingEndTheProgramAlsoDuringARun) {
  StartRun();
  form.RunPass();
  form.Button_Exit->click();
  EXPECT_EQ(terminations, 1);
  form.Exit1->trigger();
  EXPECT_EQ(terminations, 2);
  form.close();
  EXPECT_EQ(terminations, 3);
}

TEST_F(FormMainTest, ResizeKeepsLayersInsideTheBevel) {
  form.resize(1000, 700);
  QApplication::processEvents();
  EXPECT_EQ(form.View().DrawWidth, form.Panel_Bild->width() - 2);
  EXPECT_EQ(form.View().DrawHeight, form.Panel_Bild->height() - 2);
  EXPECT_EQ(form.View().CentreX, form.Panel_Bild->width() / 2);
  EXPECT_EQ(form.Scene().Background().size(), QSize(form.View().DrawWidth, form.View().DrawHeight));
  EXPECT_EQ(form.Panel_Bild->width() + 40, form.centralWidget()->width());
}

// A new size would leave the images silver; the stopped run's last state is drawn
// again instead, at the new centre, and the old size gives back the very same frame.
TEST_F(FormMainTest, ResizeAfterStopDrawsTheLastStateAgainAtTheNewSize) {
  form.ComboBox_Kome->setCurrentIndex(1);  // no particles, so nothing covers the Sun
  form.resize(1000, 700);
  QApplication::processEvents();
  StartRun();
  for (int i = 0; i < 3; ++i) form.RunPass();
  const QImage stopped = form.Scene().Presented().copy();
  form.Button_Stop->click();

  form.resize(800, 600);
  QApplication::processEvents();
  const ViewState& view = form.View();
  const QImage& resized = form.Scene().Presented();
  ASSERT_EQ(resized.size(), QSize(view.DrawWidth, view.DrawHeight));
  ASSERT_NE(resized.size(), stopped.size());
  EXPECT_EQ(resized.pixelColor(view.CentreX, view.CentreY), QColor(255, 255, 0));
  for (int dx : {-8, 8}) {  // the disc's edge and black outline, 10 pixels each side
    EXPECT_EQ(resized.pixelColor(view.CentreX + dx, view.CentreY), QColor(255, 255, 0)) << dx;
  }
  EXPECT_EQ(resized.pixelColor(view.CentreX - 10, view.CentreY), QColor(0, 0, 0));
  EXPECT_EQ(resized.pixelColor(view.CentreX + 11, view.CentreY), QColor(192, 192, 192));

  form.resize(1000, 700);
  QApplication::processEvents();
  EXPECT_EQ(form.Scene().Presented(), stopped);
  EXPECT_EQ(form.Phase(), RunPhase::Idle);
  EXPECT_DOUBLE_EQ(form.Run().State().SimDays, 7 * 5.0);  // redrawing runs no step
}

TEST_F(FormMainTest, WindowTooSmallForTheDrawingAreaKeepsTheRunGoing) {
  StartRun();
  form.RunPass();
  form.resize(300, 120);  // no room below the top strip
  QApplication::processEvents();
  EXPECT_EQ(form.View().DrawHeight, 0);
  EXPECT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.07"));
  form.resize(1000, 700);
  QApplication::processEvents();
  EXPECT_TRUE(form.RunPass());
  EXPECT_EQ(form.Scene().Presented().size(), QSize(form.View().DrawWidth, form.View().DrawHeight));
}

}  // namespace
}  // namespace stelvo
