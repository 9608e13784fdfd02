// The window's language switch: the Language menu's radio items change every window
// text between German and English and back, and leave selections, typed text, the
// view and a run as they were. Both languages' texts fit their controls with every font set.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTextDocument>
#include <cstdlib>

#include "ui/fonts.h"
#include "ui/form_main.h"
#include "ui/version_panel.h"
#include "ui_fixture.h"

namespace stelvo {
namespace {

using Snapshot = QMap<QString, QString>;

// Every text the window shows, keyed by widget and role: captions, list items, the
// edit texts, the explanation, the grid, the menu and the caption of the window.
Snapshot TakeSnapshot(const TForm_Main& form) {
  Snapshot texts;
  texts[QStringLiteral("window")] = form.windowTitle();
  const QList<QWidget*> widgets = form.findChildren<QWidget*>();
  for (int i = 0; i < widgets.size(); ++i) {
    const QWidget* widget = widgets[i];
    const QString key = widget->objectName() + QLatin1Char('#') + QString::number(i);
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      texts[key] = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      texts[key] = button->text();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
      texts[key] = edit->text();
    } else if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
      texts[key + QStringLiteral(".current")] = QString::number(box->currentIndex());
      for (int item = 0; item < box->count(); ++item) {
        texts[key + QLatin1Char('.') + QString::number(item)] = box->itemText(item);
      }
    } else if (const auto* memo = qobject_cast<const QPlainTextEdit*>(widget)) {
      texts[key] = memo->toPlainText();
    } else if (const auto* grid = qobject_cast<const QTableWidget*>(widget)) {
      for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
          texts[key + QStringLiteral(".%1.%2").arg(row).arg(column)] =
              grid->item(row, column)->text();
        }
      }
    }
  }
  const QList<QAction*> actions = form.findChildren<QAction*>();
  for (int i = 0; i < actions.size(); ++i) {
    texts[QStringLiteral("action:") + actions[i]->objectName() + QLatin1Char('#') +
          QString::number(i)] = actions[i]->text();
  }
  return texts;
}

QStringList Differences(const Snapshot& a, const Snapshot& b) {
  QStringList keys;
  for (auto it = a.begin(); it != a.end(); ++it) {
    if (b.value(it.key()) != it.value()) keys << it.key();
  }
  for (auto it = b.begin(); it != b.end(); ++it) {
    if (!a.contains(it.key())) keys << it.key();
  }
  return keys;
}

class LanguageTest : public testing::WindowFixture {
 protected:
  void English() {
    form.Opt_English->trigger();
    QApplication::processEvents();  // the application's own change event, too
  }
  void German() {
    form.Opt_Deutsch->trigger();
    QApplication::processEvents();
  }
};

// --- captions

TEST_F(LanguageTest, EnglishChangesTheWindowTexts) {
  English();
  EXPECT_EQ(form.CurrentLanguage(), Language::English);
  EXPECT_EQ(form.Button_Start->text(), QStringLiteral("&Start simulation"));
  EXPECT_EQ(form.Button_Stop->text(), QStringLiteral("S&top simulation"));
  EXPECT_EQ(form.Button_Explanation->text(), QStringLiteral("&Explanation on/off"));
  EXPECT_EQ(form.Label5->text(), QStringLiteral("Simulated time"));
  EXPECT_EQ(form.Label4->text(), QStringLiteral("years"));
  EXPECT_EQ(form.Label2->text(), QStringLiteral("Particle count"));
  EXPECT_EQ(form.Label9->text(), QStringLiteral("Initial spread"));
  EXPECT_EQ(form.Label3->text(), QStringLiteral("Step size (days)"));
  EXPECT_EQ(form.Label_Zoom->text(), QStringLiteral("Zoom factor (87)"));
  EXPECT_EQ(form.CheckBoxes[0]->text(), QStringLiteral("Sun"));
  EXPECT_EQ(form.CheckBoxes[3]->text(), QStringLiteral("Earth"));
  EXPECT_EQ(form.CheckBoxes[5]->text(), QStringLiteral("Jup"));
  const char* items[4] = {"along orbit", "quasi point", "lightly scattered", "more scattered"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.ComboBox_Dist->itemText(i), QLatin1String(items[i]));
  EXPECT_EQ(form.ComboBox_Dist->currentText(), QStringLiteral("along orbit"));
  const QStringList lines = form.HelpMemo->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 20);
  EXPECT_EQ(lines[8], QStringLiteral("How to use:"));
  EXPECT_EQ(lines[16], QStringLiteral("8. Leave the program with Exit."));
  for (int empty : {6, 7, 17, 19}) EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  EXPECT_EQ(form.Help2->text(), QStringLiteral("Kelvaro &Help"));
}

TEST_F(LanguageTest, ZoomCaptionFollowsTheSliderInEnglish) {
  English();
  form.TrackBar_Zoom->setValue(120);
  EXPECT_EQ(form.Label_Zoom->text(), QStringLiteral("Zoom factor (120)"));
  EXPECT_GE(form.Label_Zoom->width(),
            form.Label_Zoom->fontMetrics().horizontalAdvance(form.Label_Zoom->text()));
}

TEST_F(LanguageTest, CatalogueNumbersMenuAndVersionPanelStayAsTheyAre) {
  const Snapshot german = TakeSnapshot(form);
  English();
  const QStringList changed = Differences(german, TakeSnapshot(form));
  const QStringList fixed = {"window",         "Label6#",          "ComboBox_Kome#",
                             "ComboBox_Part#", "ComboBox_Step#",   "StringGrid_VersionsInfo#",
                             "Label_Stelvo#",  "Button_About_OK#", "Button_Exit#",
                             "Label1#",        "action:"};
  for (const QString& key : changed) {
    if (key.startsWith(QStringLiteral("action:Help2#"))) continue;  // "Kelvaro &Hilfe"
    if (key.startsWith(QStringLiteral("action:Showers1#"))) continue;  // "Meteorströme"
    for (const QString& prefix : fixed) EXPECT_FALSE(key.startsWith(prefix)) << key.toStdString();
  }
  EXPECT_EQ(form.ComboBox_Part->currentText(), QStringLiteral("4000"));
  EXPECT_EQ(form.ComboBox_Step->currentText(), QStringLiteral("5"));
  EXPECT_TRUE(form.Label6->text().startsWith(QStringLiteral("Kurz")));
  EXPECT_EQ(form.Button_Exit->text(), QStringLiteral("E&xit"));
  EXPECT_EQ(form.Opt_Deutsch->text(), QStringLiteral("Deutsch"));
  EXPECT_EQ(form.Version1->text(), QStringLiteral("Kelvaro &Version information"));
}

TEST_F(LanguageTest, ErrorTextsStayInEnglish) {
  English();
  form.ComboBox_Part->setEditText(QString());
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("'' is not a valid integer value"));
}

// --- back to German

TEST_F(LanguageTest, SwitchingBackRestoresEveryGermanText) {
  const Snapshot before = TakeSnapshot(form);
  English();
  ASSERT_FALSE(Differences(before, TakeSnapshot(form)).isEmpty());
  German();
  EXPECT_EQ(form.CurrentLanguage(), Language::German);
  const QStringList changed = Differences(before, TakeSnapshot(form));
  EXPECT_TRUE(changed.isEmpty()) << changed.join(QLatin1Char(' ')).toStdString();
  EXPECT_EQ(form.Button_Start->text(), QStringLiteral("&Start der Simulation"));
  EXPECT_EQ(form.Label3->text(), QStringLiteral("Schrittweite (Tg)"));
  EXPECT_EQ(form.Label_Zoom->text(), QStringLiteral("Zoomfaktor (87)"));
  EXPECT_EQ(form.ComboBox_Dist->currentText(), QStringLiteral("ueber Bahn"));
  EXPECT_EQ(form.CheckBoxes[3]->text(), QStringLiteral("Erd"));
}

TEST_F(LanguageTest, GermanCaptionsReturnToTheirPlaces) {
  std::vector<QRect> places;
  const std::vector<QWidget*> captions = {form.Label2, form.Label3, form.Label4,
                                          form.Label5, form.Label9, form.CheckBoxes[3]};
  for (QWidget* caption : captions) places.push_back(caption->geometry());
  English();
  German();
  for (std::size_t i = 0; i < captions.size(); ++i)
    EXPECT_EQ(captions[i]->geometry(), places[i]) << captions[i]->objectName().toStdString();
}

// --- the radio items

TEST_F(LanguageTest, RadioItemsShowTheActiveLanguage) {
  EXPECT_TRUE(form.Opt_Deutsch->isCheckable());
  EXPECT_TRUE(form.Opt_English->isCheckable());
  EXPECT_TRUE(form.Opt_Deutsch->isChecked());
  EXPECT_FALSE(form.Opt_English->isChecked());
  English();
  EXPECT_FALSE(form.Opt_Deutsch->isChecked());
  EXPECT_TRUE(form.Opt_English->isChecked());
  English();  // choosing the active language again keeps it
  EXPECT_TRUE(form.Opt_English->isChecked());
  EXPECT_EQ(form.Button_Start->text(), QStringLiteral("&Start simulation"));
  German();
  EXPECT_TRUE(form.Opt_Deutsch->isChecked());
  EXPECT_FALSE(form.Opt_English->isChecked());
}

TEST_F(LanguageTest, EveryWindowStartsGerman) {
  English();
  TForm_Main second;
  EXPECT_TRUE(second.Opt_Deutsch->isChecked());
  EXPECT_EQ(second.CurrentLanguage(), Language::German);
}

// --- selections, typed text, view and run

TEST_F(LanguageTest, SelectionsViewAndExplanationSurviveTheSwitch) {
  form.ComboBox_Kome->setCurrentIndex(100);
  Select(form.ComboBox_Part, QStringLiteral("250"));
  form.ComboBox_Dist->setCurrentIndex(2);
  Select(form.ComboBox_Step, QStringLiteral("1"));
  form.TrackBar_Zoom->setValue(40);
  form.TrackBar_Incl->setValue(10);
  form.CheckBoxes[6]->click();
  form.Button_Explanation->click();
  for (int round = 0; round < 2; ++round) {
    round == 0 ? English() : German();
    EXPECT_EQ(form.ComboBox_Kome->currentIndex(), 100);
    EXPECT_EQ(form.ComboBox_Part->currentIndex(), 2);
    EXPECT_EQ(form.ComboBox_Dist->currentIndex(), 2);
    EXPECT_EQ(form.ComboBox_Dist->currentText(), form.ComboBox_Dist->itemText(2));
    EXPECT_EQ(form.ComboBox_Step->currentIndex(), 2);
    EXPECT_EQ(form.View().ZoomScale, 40);
    EXPECT_DOUBLE_EQ(form.View().InclinationDeg, -10.0);
    EXPECT_TRUE(form.CheckBoxes[6]->isChecked());
    EXPECT_TRUE(form.HelpMemo->isVisible());
    EXPECT_EQ(form.ComboBox_Dist->count(), 4);
  }
}

TEST_F(LanguageTest, RunStartedInEnglishShowsTheSameFirstTime) {
  English();
  form.ComboBox_Dist->setCurrentIndex(1);
  StartRun();
  EXPECT_EQ(form.Phase(), RunPhase::Running);
  ASSERT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
  EXPECT_EQ(form.Label4->text(), QStringLiteral("years"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(LanguageTest, SwitchDuringARunKeepsItGoing) {
  StartRun();
  ASSERT_TRUE(form.RunPass());
  English();
  EXPECT_EQ(form.Phase(), RunPhase::Running);
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.05"));
  EXPECT_FALSE(form.ComboBox_Dist->isEnabled());
  ASSERT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.07"));
  German();
  ASSERT_TRUE(form.RunPass());
  EXPECT_EQ(form.Label1->text(), QStringLiteral("0.08"));
  form.Button_Stop->click();
  EXPECT_EQ(form.Phase(), RunPhase::Idle);
  EXPECT_TRUE(errors.empty());
}

TEST_F(LanguageTest, TypedDistributionStaysTypedAndIsStillRefused) {
  Select(form.ComboBox_Part, QStringLiteral("50"));
  form.ComboBox_Dist->setEditText(QStringLiteral("irgendwie"));
  English();
  EXPECT_EQ(form.ComboBox_Dist->currentText(), QStringLiteral("irgendwie"));
  EXPECT_EQ(form.ComboBox_Dist->currentIndex(), 0);
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(form.Phase(), RunPhase::Failed);
  form.Button_Stop->click();
  German();
  EXPECT_EQ(form.ComboBox_Dist->currentText(), QStringLiteral("irgendwie"));
}

TEST_F(LanguageTest, GermanEntryTypedInEnglishIsNotTheSelectedEntry) {
  English();
  Select(form.ComboBox_Part, QStringLiteral("50"));
  form.ComboBox_Dist->setEditText(QStringLiteral("ueber Bahn"));
  form.Button_Start->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(form.Phase(), RunPhase::Failed);
}

// --- room for the longer texts

TEST_F(LanguageTest, TextsFitTheirControlsWithoutOverlapInBothLanguages) {
  int germanExplanationOverflow = 0;
  for (int round = 0; round < 2; ++round) {
    if (round == 1) English();
    const std::string language = round == 0 ? "German " : "English ";
    for (QLabel* label : {form.Label2, form.Label3, form.Label4, form.Label5, form.Label9,
                          form.Label_Zoom, form.Label6}) {
      const QFontMetrics metrics = label->fontMetrics();
      EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
          << language << label->objectName().toStdString();
      EXPECT_GE(label->height(), metrics.height()) << language << label->objectName().toStdString();
    }
    // Every entry of the lists shows whole in its box, the catalogue lines included.
    for (QComboBox* box : {form.ComboBox_Part, form.ComboBox_Dist, form.ComboBox_Step}) {
      const QLineEdit* edit = box->lineEdit();
      for (int i = 0; i < box->count(); ++i) {
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(box->itemText(i)), edit->width() - 4)
            << language << box->itemText(i).toStdString();
      }
    }
    EXPECT_LT(form.ComboBox_Part->geometry().right(), form.CheckBoxes[0]->x()) << language;
    EXPECT_LT(form.ComboBox_Dist->geometry().right(), form.CheckBoxes[0]->x()) << language;
    EXPECT_LT(form.ComboBox_Step->geometry().right(), form.CheckBoxes[0]->x()) << language;
    const QFontMetrics catalogue(form.ComboBox_Kome->font());
    for (int i = 0; i < form.ComboBox_Kome->count(); ++i) {
      ASSERT_LE(catalogue.horizontalAdvance(form.ComboBox_Kome->itemText(i)),
                form.ComboBox_Kome->width() - 30)
          << i;
    }
    // The captions in front of the lists end before their list begins.
    EXPECT_LT(form.Label2->geometry().right(), form.ComboBox_Part->x()) << language;
    EXPECT_LT(form.Label9->geometry().right(), form.ComboBox_Dist->x()) << language;
    EXPECT_LT(form.Label3->geometry().right(), form.ComboBox_Step->x()) << language;
    EXPECT_LT(form.Label4->geometry().right(), form.Label2->x()) << language;
    EXPECT_GT(form.Label5->x(), form.Button_Start->geometry().right()) << language;
    EXPECT_LT(form.Label6->geometry().right(), form.ComboBox_Kome->geometry().right()) << language;
    EXPECT_LT(form.Label6->geometry().bottom(), form.ComboBox_Kome->y()) << language;
    EXPECT_LT(form.Label5->geometry().bottom(), form.Label4->y()) << language;
    EXPECT_LT(form.Label2->geometry().bottom(), form.Label9->y()) << language;
    EXPECT_LT(form.Label9->geometry().bottom(), form.Label3->y()) << language;
    for (QPushButton* button :
         {form.Button_Start, form.Button_Stop, form.Button_Exit, form.Button_Explanation}) {
      EXPECT_LE(button->sizeHint().width(), button->width())
          << language << button->objectName().toStdString();
    }
    for (QCheckBox* box : form.CheckBoxes) {
      EXPECT_LE(box->sizeHint().width(), box->width())
          << language << box->objectName().toStdString();
    }
    for (int n = 0; n < 5; ++n) {  // the first column ends before the second begins
      EXPECT_LT(form.CheckBoxes[n]->geometry().right(), form.CheckBoxes[5]->x())
          << language << n + 1;
    }
    form.HelpMemo->show();
    QApplication::processEvents();
    // Lines 3 and 5 end in the middle of a sentence that goes on in the next line, so
    // no line of the explanation may wrap on its own: each fits the explanation's width.
    const QStringList lines = form.HelpMemo->toPlainText().split(QLatin1Char('\n'));
    const int room =
        form.HelpMemo->viewport()->width() - 2 * int(form.HelpMemo->document()->documentMargin());
    for (int line = 0; line < lines.size(); ++line) {
      EXPECT_LE(form.HelpMemo->fontMetrics().horizontalAdvance(lines[line]), room)
          << language << line + 1;
    }
    EXPECT_EQ(form.HelpMemo->document()->lineCount(), 20) << language;
    // The English explanation takes no more lines than the German one.
    const int overflow = form.HelpMemo->verticalScrollBar()->maximum();
    if (round == 0)
      germanExplanationOverflow = overflow;
    else
      EXPECT_LE(overflow, germanExplanationOverflow);
    form.HelpMemo->hide();
  }
}

// --- the fonts

// ctest runs this file once per font set and names the families the window must use
// with it; a font set that is not installed fails here rather than passing on another.
TEST(FontSetTest, WindowUsesTheFamiliesOfTheFontSet) {
  const char* expected = std::getenv("STELVO_EXPECTED_FONTS");
  if (expected == nullptr) GTEST_SKIP() << "no font set named (run through ctest)";
  const QStringList families = QString::fromUtf8(expected).split(QLatin1Char(','));
  ASSERT_EQ(families.size(), 2);
  EXPECT_EQ(QFontInfo(WindowFont(15, true)).family().toStdString(), families[0].toStdString())
      << "the font set's sans serif is not installed (scripts/lib/setup.sh installs it)";
  EXPECT_EQ(QFontInfo(FixedPitchFont(13)).family().toStdString(), families[1].toStdString())
      << "the font set's fixed-pitch family is not installed (scripts/lib/setup.sh installs it)";
}

}  // namespace
}  // namespace stelvo
