#pragma once
// The window under test: its passes driven by the test, its error messages and
// program ends recorded instead of shown or carried out.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <vector>

#include "ui/form_main.h"

namespace stelvo::testing {

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture() {
    form.SetErrorDisplay([this](const QString& message) { errors.push_back(message); });
    form.SetTerminator([this] { ++terminations; });
    form.SetAutomaticPasses(false);
    form.show();
  }

  void Select(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
  }

  // A small, quick run: 50 bodies at the given step in days.
  void StartRun(const QString& step = QStringLiteral("5")) {
    Select(form.ComboBox_Part, QStringLiteral("50"));
    Select(form.ComboBox_Step, step);
    form.Button_Start->click();
  }

  // The controls a run disables and Stop enables again.
  std::vector<QWidget*> SelectionControls() const {
    return {form.Button_Start, form.ComboBox_Part, form.ComboBox_Step, form.ComboBox_Dist,
            form.ComboBox_Kome};
  }

  // After Stop: idle, the selection enabled again and the focus on the comet list.
  void ExpectIdleControls() {
    EXPECT_EQ(form.Phase(), RunPhase::Idle);
    for (QWidget* control : SelectionControls()) EXPECT_TRUE(control->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.ComboBox_Kome);
  }

  // Lets the event loop run while `busy` holds, for at most five seconds.
  template <typename Busy>
  void ProcessEventsWhile(Busy busy) {
    QElapsedTimer clock;
    clock.start();
    while (busy() && clock.elapsed() < 5000) QApplication::processEvents();
  }

  TForm_Main form;
  std::vector<QString> errors;
  int terminations = 0;
};

}  // namespace stelvo::testing
