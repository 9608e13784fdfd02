// Form_Main's texts: the captions, the entries of the distribution list, the
// explanation, and the switch between German and English. The geometry the texts are
// fitted into is form_main_layout.cpp's.

#include "ui/form_main_texts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/form_main.h"
#include "ui/shower_window.h"

namespace stelvo {

namespace {

const char* const kEnglishCatalogue = ":/i18n/stelvo_en.qm";

// CheckBox1 (the Sun) .. CheckBox9 (Neptune).
const char* const kCheckBoxCaptions[9] = {
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Son"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Mer"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Ven"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Erd"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Mar"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Jup"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Sat"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Ura"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Nep"),
};

// The explanation, line by line; lines 7, 8, 18 and 20 are empty.
const char* const kHelpLines[20] = {
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Stelvo.EXE:"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "Ein numerischer Integrator des Sonnensystems und weiterer 'masseloser' "
                      "Teilchen für Windows Rechner."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "Das Sonnensystem, bestehend aus Sonne, Venus, EMB (Erde-Mond-Baryzentrum), "
                      "Mars, Jupiter, Saturn, Uranus, Neptun und"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Pluto wird jeweils ab 1.1.2000 integriert."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "Es stehen etwa 250 Kometen mit elliptischen Bahnen (P<1000 Jahre) zur "
                      "Verfügung. Von jedem Kometen ist die jüngste"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Perihelpassage (vor dem Jahr 2002) genommen worden."),
    "",
    "",
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Bedienung:"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "1. Gewünschten Kometen auswählen."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "2. Anzahl Teilchen auswählen."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "3. Streuung der Partikel zu Beginn der Integration auswählen."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "4. Schrittweite auswählen."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "5. Start-Button anclicken."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "6. Zoomfaktor und Inklination können jederzeit geändert werden."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "7. Stop-Button anclicken für neue Auswahl. Die Integration beginnt dann "
                      "wieder von vorne."),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "8. Verlassen des Programmes mit Exit."),
    "",
    QT_TRANSLATE_NOOP("stelvo::TForm_Main",
                      "Diese Erklärung kann jederzeit ein- oder ausgeblendet werden."),
    "",
};

}  // namespace

// The texts below are German and translated through the window's context; the
// catalogue lines, the column header and the run's error texts are never translated.
const char* const kDistributionItems[kDistributionCount] = {
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "ueber Bahn"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Quasipunkt"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "leicht verstreut"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "staerker verstreut"),
};

QString CatalogueHeader() {
  QString header(112, QLatin1Char(' '));
  auto left = [&](int column, const char* word) {
    header.replace(column - 1, int(qstrlen(word)), QLatin1String(word));
  };
  auto right = [&](int lastColumn, const char* word) {
    left(lastColumn - int(qstrlen(word)) + 1, word);
  };
  left(1, "Kurz");
  right(18, "P(J)");
  right(29, "a(AE)");
  right(39, "q(AE)");
  right(49, "e");
  right(59, "Arg.Per.");
  right(69, "Knoten");
  right(79, "Inkl.");
  left(81, "Perihelzeit");
  left(95, "Kurz");
  left(101, "Komet");
  return header.trimmed();
}

void TForm_Main::SetZoomCaption() {
  // "Zoomfaktor" until the view has a zoom, then with the zoom in brackets.
  Label_Zoom->setText(view_.ZoomScale == 0 ? tr("Zoomfaktor")
                                           : tr("Zoomfaktor (%1)").arg(view_.ZoomScale));
  Label_Zoom->adjustSize();
}

void TForm_Main::SetLanguage(Language language) {
  if (language == language_) return;
  if (language == Language::English) {
    if (translator_.isEmpty() && !translator_.load(QLatin1String(kEnglishCatalogue))) {
      Opt_Deutsch->setChecked(true);  // no catalogue: the window stays German
      return;
    }
    QCoreApplication::installTranslator(&translator_);
  } else {
    QCoreApplication::removeTranslator(&translator_);
  }
  language_ = language;
  (language == Language::English ? Opt_English : Opt_Deutsch)->setChecked(true);
  // The application announces the change with a posted event; the texts switch now.
  RetranslateUi();
}

void TForm_Main::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QMainWindow::changeEvent(event);
}

void TForm_Main::RetranslateUi() {
  Button_Start->setText(tr("&Start der Simulation"));
  Button_Stop->setText(tr("S&top der Simulation"));
  Button_Exit->setText(tr("E&xit"));
  Button_Explanation->setText(tr("&Erklärung ein/aus"));
  FitButtons();
  Label5->setText(tr("Simulierte Zeit"));
  Label4->setText(tr("Jahre"));
  Label2->setText(tr("Anzahl Partikel"));
  Label9->setText(tr("Startverteilung"));
  Label3->setText(tr("Schrittweite (Tg)"));
  FitCaptions();
  SetZoomCaption();
  RetranslateDistributionList();

  for (int n = 1; n <= 9; ++n) CheckBoxes[n - 1]->setText(tr(kCheckBoxCaptions[n - 1]));
  FitCheckBoxes();

  QStringList lines;
  for (const char* line : kHelpLines) lines << (*line ? tr(line) : QString());
  HelpMemo->setPlainText(lines.join(QLatin1Char('\n')));
  FitHelpMemo();

  Help2->setText(tr("Kelvaro &Hilfe"));
  Showers1->setText(tr("Meteorströme"));
  Form_Showers->RetranslateUi();
}

void TForm_Main::RetranslateDistributionList() {
  // The selected index stays; text typed over the selected entry stays as typed, while
  // the entry's own text follows the language, so the run still takes it as selected.
  const int index = ComboBox_Dist->currentIndex();
  const QString shown = ComboBox_Dist->currentText();
  const bool typed = index < 0 || shown != ComboBox_Dist->itemText(index);
  for (int i = 0; i < kDistributionCount; ++i) {
    ComboBox_Dist->setItemText(i, tr(kDistributionItems[i]));
  }
  FitLists();
  const int cursor = ComboBox_Dist->lineEdit()->cursorPosition();
  ComboBox_Dist->setEditText(typed ? shown : ComboBox_Dist->itemText(index));
  // An entry shows from its beginning; typed text keeps its cursor.
  ComboBox_Dist->lineEdit()->setCursorPosition(typed ? cursor : 0);
}

}  // namespace stelvo
