#include "ui/form_main.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/run_error.h"
#include "data/comet_catalogue.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/shower_window.h"
#include "ui/version_panel.h"

namespace stelvo {

// Shows the newest complete frame of the scene; nothing is drawn here.
class SceneWidget : public QWidget {
 public:
  SceneWidget(const SceneImages& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QImage& frame = scene_.Presented();
    if (frame.isNull()) {
      painter.fillRect(rect(), QColor(192, 192, 192));
      return;
    }
    painter.drawImage(0, 0, frame);
  }

 private:
  const SceneImages& scene_;
};

namespace {

constexpr int kStripHeight = 170;     // Panel_Bttm
constexpr int kRightStripWidth = 40;  // Panel_Rght
constexpr int kStatusBarHeight = 25;
constexpr int kAboutTop = 172;
constexpr int kWheelPositions = 5;         // slider positions per wheel event
constexpr int kTimeLabelRight = 215 + 12;  // Label1 grows to the left of this edge
const QColor kStripColour(189, 184, 172);
constexpr double kDaysPerYear = 365.25;
const char* const kEnglishCatalogue = ":/i18n/stelvo_en.qm";

// A control's design box, and its room: the width it may take before it comes within
// kCaptionGap of its neighbour (leftwards from the box's right edge for a right-aligned
// label). A control grows out of its box up to its room; a text wider than the room
// gets a narrower or smaller font.
struct ControlPlace {
  QRect design;
  int room;
};
constexpr int kCaptionGap = 3;
constexpr QRect kStartButtonBox(2, 54, 137, 33);
constexpr QRect kPartListBox(412, 56, 120, 24);
constexpr QRect kDistListBox(412, 86, 120, 24);
constexpr QRect kStepListBox(462, 115, 70, 24);
constexpr int kCheckBoxColumn = 562;
// The editable lists, which may grow to the right up to the planet check boxes.
constexpr ControlPlace kPartListPlace{kPartListBox, kCheckBoxColumn - 412 - kCaptionGap};
constexpr ControlPlace kDistListPlace{kDistListBox, kCheckBoxColumn - 412 - kCaptionGap};
constexpr ControlPlace kStepListPlace{kStepListBox, kCheckBoxColumn - 462 - kCaptionGap};
constexpr QRect kKomeListBox(2, 25, 1119, 24);
constexpr QRect kLabel2Box(305, 56, 104, 16);
constexpr ControlPlace kLabel6Place{{6, 6, 928, 16}, kKomeListBox.right() - 6};
constexpr ControlPlace kLabel5Place{{178, 54, 100, 16},  // right-aligned
                                    277 - kStartButtonBox.right() - kCaptionGap};
constexpr ControlPlace kLabel4Place{{231, 75, 53, 24}, kLabel2Box.left() - 231 - kCaptionGap};
constexpr ControlPlace kLabel2Place{kLabel2Box, kPartListBox.left() - 305 - kCaptionGap};
constexpr ControlPlace kLabel9Place{{305, 86, 101, 16}, kDistListBox.left() - 305 - kCaptionGap};
constexpr ControlPlace kLabel3Place{{305, 115, 113, 16}, kStepListBox.left() - 305 - kCaptionGap};
// The planet check boxes: the first column is at 562, the second at 633.
constexpr int kCheckBoxWidth = 68;
constexpr int kCheckBoxRoom = 633 - kCheckBoxColumn - 1;

// The texts below are German and translated through the window's context; the
// catalogue lines, the column header and the run's error texts are never translated.
const char* const kDistributionItems[4] = {
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "ueber Bahn"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Quasipunkt"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "leicht verstreut"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "staerker verstreut"),
};

// CheckBox1 (the Sun) .. CheckBox9 (Neptune).
const char* const kCheckBoxCaptions[9] = {
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Son"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Mer"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Ven"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Erd"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Mar"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Jup"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Sat"), QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Ura"),
    QT_TRANSLATE_NOOP("stelvo::TForm_Main", "Nep"),
};

// Column header over the catalogue lines: each word stands over its column.
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

// Places a caption label: its design box, widened (to the left when right-aligned) as
// far as its text needs within its room, and made as tall as its font about the box's
// middle, so that no descender is cut.
void PlaceCaption(QLabel* label, const ControlPlace& place) {
  QRect box = place.design;
  const QFontMetrics metrics = label->fontMetrics();
  const int width = std::clamp(metrics.horizontalAdvance(label->text()), box.width(),
                               std::max(box.width(), place.room));
  if (label->alignment() & Qt::AlignRight)
    box.setLeft(box.right() + 1 - width);
  else
    box.setWidth(width);
  const int extra = std::max(0, metrics.height() - box.height());
  box.adjust(0, -(extra / 2), 0, extra - extra / 2);
  label->setGeometry(box);
}

// Gives a group of controls one font: `design` when `fits` holds with it, else the first
// narrower or smaller font with which it does. `fits` judges the controls as they are,
// so every font tried is set on them first.
void FitFont(const std::vector<QWidget*>& controls, const QFont& design,
             const std::function<bool()>& fits) {
  const QFont chosen = FittingFont(design, [&](const QFont& font) {
    for (QWidget* control : controls) control->setFont(font);
    return fits();
  });
  for (QWidget* control : controls) control->setFont(chosen);
}

struct Caption {
  QLabel* label;
  const ControlPlace& place;
  QString text;
};

// Sets caption labels' texts in one font, in which every text fits its label's room.
void SetCaptions(std::initializer_list<Caption> captions, const QFont& design) {
  const QFont chosen = FittingFont(design, [&](const QFont& font) {
    const QFontMetrics metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&](const Caption& caption) {
      return metrics.horizontalAdvance(caption.text) <= caption.place.room;
    });
  });
  for (const Caption& caption : captions) {
    caption.label->setFont(chosen);
    caption.label->setText(caption.text);
    PlaceCaption(caption.label, caption.place);
  }
}

// The width of a drop-down list's text field, inside the line edit's own margins.
int ListTextRoom(const QComboBox* box) {
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.editable = box->isEditable();
  option.frame = box->hasFrame();
  const QRect field =
      box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
  constexpr int kLineEditMargins = 2 * 2;
  return field.width() - kLineEditMargins;
}

// The width a drop-down list needs to show each of its entries whole.
int ListWidthNeeded(const QComboBox* box) {
  const QFontMetrics metrics(box->font());
  int widest = 0;
  for (int i = 0; i < box->count(); ++i)
    widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
  return widest + box->width() - ListTextRoom(box);
}

QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(parent);
  label->setAlignment(alignment);
  label->setObjectName(QLatin1String(name));
  label->setFont(font);
  label->setGeometry(geometry);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  return label;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, QRect geometry,
                    const QFont& font, bool editable) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setFont(font);
  box->setEditable(editable);
  // Typed text never becomes an item of the list.
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(items);
  box->setGeometry(geometry);
  // A list that drops down below the box, its visible line count honoured, rather
  // than a popup laid over the box.
  box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, QRect geometry) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

// Rows of a fixed height in a drop-down list.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  FixedRowDelegate(int rowHeight, QObject* parent)
      : QStyledItemDelegate(parent), rowHeight_(rowHeight) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight_};
  }

 private:
  int rowHeight_;
};

void PaintStrip(QFrame* strip) {
  strip->setFrameShape(QFrame::NoFrame);
  strip->setAutoFillBackground(true);
  QPalette palette = strip->palette();
  palette.setColor(QPalette::Window, kStripColour);
  strip->setPalette(palette);
}

}  // namespace

TForm_Main::TForm_Main(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form_Main"));
  setWindowTitle(QStringLiteral("Stelvo"));
  setWindowIcon(CometIcon());
  setFont(WindowFont(14));

  client_ = new QWidget(this);
  setCentralWidget(client_);
  client_->installEventFilter(this);

  Panel_Bttm = new QFrame(client_);
  Panel_Bttm->setObjectName(QStringLiteral("Panel_Bttm"));
  PaintStrip(Panel_Bttm);
  Panel_Rght = new QFrame(client_);
  Panel_Rght->setObjectName(QStringLiteral("Panel_Rght"));
  PaintStrip(Panel_Rght);
  Panel_Bild = new QFrame(client_);
  Panel_Bild->setObjectName(QStringLiteral("Panel_Bild"));
  Panel_Bild->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel_Bild->setLineWidth(1);
  sceneWidget_ = new SceneWidget(scene_, Panel_Bild);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFixedHeight(kStatusBarHeight);
  setStatusBar(StatusBar1);

  TrackBar_Incl = new QSlider(Qt::Vertical, Panel_Rght);
  TrackBar_Incl->setObjectName(QStringLiteral("TrackBar_Incl"));
  TrackBar_Incl->setRange(kInclMin, kInclMax);
  // 0 at the top, 90 at the bottom; the arrow keys move the thumb the way they point.
  TrackBar_Incl->setInvertedAppearance(true);
  TrackBar_Incl->setInvertedControls(true);
  TrackBar_Incl->setTickInterval(10);
  TrackBar_Incl->setTickPosition(QSlider::TicksBothSides);

  BuildTopStrip();
  BuildHelpMemo();
  Panel_About = new TPanelAbout(client_);
  // A window of its own, not a child of this one: it has its own texts, focus and
  // lifetime, and lives as long as this window.
  showersWindow_ = std::make_unique<TForm_Showers>();
  Form_Showers = showersWindow_.get();
  Panel_About->hide();
  BuildMenu();
  SetTabOrder();
  RetranslateUi();

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

  errorDisplay_ = [this](const QString& message) {
    QMessageBox::critical(this, QApplication::applicationName(), message);
  };
  terminate_ = [] {
    QCoreApplication::quit();
    std::_Exit(0);
  };
  // Wheel events are taken at window level whatever widget is under the pointer.
  qApp->installEventFilter(this);

  // The restored size, centred; the program shows the window maximised.
  resize(1135, 774);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  FormCreate();
}

TForm_Main::~TForm_Main() {
  qApp->removeEventFilter(this);
  if (language_ == Language::English) QCoreApplication::removeTranslator(&translator_);
}

void TForm_Main::BuildTopStrip() {
  QWidget* strip = Panel_Bttm;
  const QFont bold15 = WindowFont(15, true);
  const QFont bold18 = WindowFont(18, true);

  Label6 = MakeLabel(strip, "Label6", kLabel6Place.design, FixedPitchFont(13, true));
  SetCaptions({{Label6, kLabel6Place, CatalogueHeader()}}, Label6->font());
  QStringList catalogue;
  for (std::string_view line : kCometCatalogue) {
    catalogue << QString::fromLatin1(line.data(), qsizetype(line.size()));
  }
  ComboBox_Kome =
      MakeList(strip, "ComboBox_Kome", catalogue, kKomeListBox, FixedPitchFont(13), false);
  ComboBox_Kome->setMaxVisibleItems(40);
  ComboBox_Kome->setItemDelegate(new FixedRowDelegate(16, ComboBox_Kome));

  Button_Start = MakeButton(strip, "Button_Start", kStartButtonBox);
  Button_Stop = MakeButton(strip, "Button_Stop", {2, 93, 137, 33});
  Button_Exit = MakeButton(strip, "Button_Exit", {2, 134, 137, 32});
  Button_Explanation = MakeButton(strip, "Button_Explanation", {146, 133, 137, 33});

  Label5 =
      MakeLabel(strip, "Label5", kLabel5Place.design, bold15, Qt::AlignRight | Qt::AlignVCenter);
  Label1 = MakeLabel(strip, "Label1", {215, 75, 12, 24}, bold18, Qt::AlignRight | Qt::AlignVCenter);
  SetTimeLabel(QStringLiteral("0"));
  Label4 = MakeLabel(strip, "Label4", kLabel4Place.design, bold18);

  Label2 = MakeLabel(strip, "Label2", kLabel2Place.design, bold15);
  ComboBox_Part = MakeList(strip, "ComboBox_Part",
                           {"50", "100", "250", "500", "1000", "2000", "4000", "6000", "20000"},
                           kPartListBox, bold15, true);
  Label9 = MakeLabel(strip, "Label9", kLabel9Place.design, bold15);
  // The items' texts are set with the window's language; the run reads the index.
  ComboBox_Dist =
      MakeList(strip, "ComboBox_Dist", QStringList(qsizetype(std::size(kDistributionItems))),
               kDistListBox, bold15, true);
  Label3 = MakeLabel(strip, "Label3", kLabel3Place.design, bold15);
  ComboBox_Step = MakeList(strip, "ComboBox_Step", {"0.25", "0.5", "1", "2", "5", "10"},
                           kStepListBox, bold15, true);

  const PlanetTicks startTicks = StartPlanetTicks();
  for (int n = 1; n <= 9; ++n) {
    auto* box = new QCheckBox(strip);
    box->setObjectName(QStringLiteral("CheckBox%1").arg(n));
    box->setFont(WindowFont(17, true));
    const int column = n <= 5 ? 0 : 1;
    const int row = n <= 5 ? n - 1 : n - 6;
    const int tops[5] = {52, 75, 98, 121, 142};
    box->setGeometry(column == 0 ? kCheckBoxColumn : 633, tops[row], kCheckBoxWidth, 25);
    box->setChecked(startTicks[n]);
    CheckBoxes[n - 1] = box;
  }
  CheckBoxes[0]->setEnabled(false);  // the Sun is always drawn

  Label_Zoom = MakeLabel(strip, "Label_Zoom", {798, 52, 10, 10}, WindowFont(20));
  TrackBar_Zoom = new QSlider(Qt::Horizontal, strip);
  TrackBar_Zoom->setObjectName(QStringLiteral("TrackBar_Zoom"));
  TrackBar_Zoom->setGeometry(721, 72, 249, 41);
  TrackBar_Zoom->setRange(kZoomMin, kZoomMax);
  TrackBar_Zoom->setTickInterval(5);
  TrackBar_Zoom->setTickPosition(QSlider::TicksAbove);
  TrackBar_Zoom->setValue(60);  // design-time position, replaced at creation
}

constexpr QRect kHelpMemoBox(9, 9, 864, 304);

void TForm_Main::BuildHelpMemo() {
  HelpMemo = new QPlainTextEdit(Panel_Bild);
  HelpMemo->setObjectName(QStringLiteral("HelpMemo"));
  HelpMemo->setGeometry(kHelpMemoBox);
  HelpMemo->setFrameShape(QFrame::NoFrame);
  HelpMemo->setFont(WindowFont(15, true));
  HelpMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  HelpMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette palette = HelpMemo->palette();
  palette.setColor(QPalette::Text, Qt::black);
  HelpMemo->setPalette(palette);
}

// Every line of the explanation fits its width, so no line wraps where it was not
// meant to; the explanation keeps its place and width but grows downwards until its
// whole text shows (the memo has no scroll bar).
void TForm_Main::FitHelpMemo() {
  const int margin = static_cast<int>(std::ceil(HelpMemo->document()->documentMargin()));
  // The text cursor's pixel and the rounding of the advances.
  constexpr int kCursorAndRounding = 2;
  const int room = kHelpMemoBox.width() - 2 * margin - kCursorAndRounding;
  const QStringList lines = HelpMemo->toPlainText().split(QLatin1Char('\n'));
  HelpMemo->setFont(FittingFont(WindowFont(15, true), [&](const QFont& font) {
    const QFontMetrics metrics(font);
    return std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
      return metrics.horizontalAdvance(line) <= room;
    });
  }));
  const QFontMetrics metrics(HelpMemo->font());
  const QRect text = metrics.boundingRect(QRect(0, 0, kHelpMemoBox.width() - 2 * margin, 1 << 20),
                                          Qt::TextWordWrap, HelpMemo->toPlainText());
  HelpMemo->resize(kHelpMemoBox.width(),
                   std::max(kHelpMemoBox.height(), text.height() + 2 * margin + metrics.height()));
}

void TForm_Main::BuildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  Exit1 = file->addAction(ExitMenuPicture(), QStringLiteral("E&xit"));
  Exit1->setObjectName(QStringLiteral("Exit1"));
  connect(Exit1, &QAction::triggered, this, [this] { Button_ExitClick(); });
  bar->addAction(QString());

  QMenu* language = bar->addMenu(QStringLiteral("&Language"));
  language->setObjectName(QStringLiteral("Sprache1"));
  language->addSeparator()->setObjectName(QStringLiteral("N1"));
  // Radio items of one exclusive group: the ticked one names the window's language.
  auto* group = new QActionGroup(language);
  Opt_Deutsch = language->addAction(QStringLiteral("Deutsch"));
  Opt_Deutsch->setObjectName(QStringLiteral("Opt_Deutsch"));
  Opt_English = language->addAction(QStringLiteral("English"));
  Opt_English->setObjectName(QStringLiteral("Opt_English"));
  for (QAction* option : {Opt_Deutsch, Opt_English}) {
    option->setCheckable(true);
    group->addAction(option);
  }
  Opt_Deutsch->setChecked(true);
  connect(Opt_Deutsch, &QAction::triggered, this, [this] { SetLanguage(Language::German); });
  connect(Opt_English, &QAction::triggered, this, [this] { SetLanguage(Language::English); });
  bar->addAction(QString());

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  Help2 = help->addAction(HelpMenuPicture(), QString());
  Help2->setObjectName(QStringLiteral("Help2"));
  Help2->setEnabled(false);
  Version1 = help->addAction(VersionMenuPicture(), QStringLiteral("Kelvaro &Version information"));
  Version1->setObjectName(QStringLiteral("Version1"));
  connect(Version1, &QAction::triggered, this, [this] { Version1Click(); });
  bar->addAction(QString());

  System1 = bar->addAction(QStringLiteral("System"));
  System1->setObjectName(QStringLiteral("System1"));
  System1->setEnabled(false);

  // The shower window's entry comes after all the others, so theirs keep their places.
  Showers1 = bar->addAction(QString());
  Showers1->setObjectName(QStringLiteral("Showers1"));
  connect(Showers1, &QAction::triggered, this, [this] { Showers1Click(); });
}

void TForm_Main::SetTabOrder() {
  std::vector<QWidget*> order = {Button_Start,  Button_Exit,   ComboBox_Part,
                                 ComboBox_Step, ComboBox_Kome, Button_Explanation,
                                 ComboBox_Dist, Button_Stop,   TrackBar_Zoom};
  for (QCheckBox* box : CheckBoxes) order.push_back(box);
  order.push_back(TrackBar_Incl);
  order.push_back(HelpMemo);
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
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

void TForm_Main::LayOutClientArea() {
  const int width = client_->width();
  const int height = client_->height();
  Panel_Bttm->setGeometry(0, 0, width, kStripHeight);
  const int below = std::max(0, height - kStripHeight);
  Panel_Rght->setGeometry(std::max(0, width - kRightStripWidth), kStripHeight, kRightStripWidth,
                          below);
  TrackBar_Incl->setGeometry(0, 0, kRightStripWidth, below);
  Panel_Bild->setGeometry(0, kStripHeight, std::max(0, width - kRightStripWidth), below);
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
  // Each group of controls keeps one font, so that a fitted caption still looks like
  // its neighbours; every fit starts from the design font, so German gets its own back.
  FitFont({Button_Start, Button_Stop, Button_Exit, Button_Explanation}, WindowFont(14), [this] {
    for (QPushButton* button : {Button_Start, Button_Stop, Button_Exit, Button_Explanation}) {
      if (button->sizeHint().width() > button->width()) return false;
    }
    return true;
  });
  SetCaptions({{Label5, kLabel5Place, tr("Simulierte Zeit")}}, WindowFont(15, true));
  SetCaptions({{Label4, kLabel4Place, tr("Jahre")}}, WindowFont(18, true));
  SetCaptions({{Label2, kLabel2Place, tr("Anzahl Partikel")},
               {Label9, kLabel9Place, tr("Startverteilung")},
               {Label3, kLabel3Place, tr("Schrittweite (Tg)")}},
              WindowFont(15, true));
  SetZoomCaption();

  // The selected index stays; text typed over the selected entry stays as typed, while
  // the entry's own text follows the language, so the run still takes it as selected.
  const int index = ComboBox_Dist->currentIndex();
  const QString shown = ComboBox_Dist->currentText();
  const bool typed = index < 0 || shown != ComboBox_Dist->itemText(index);
  for (int i = 0; i < int(std::size(kDistributionItems)); ++i) {
    ComboBox_Dist->setItemText(i, tr(kDistributionItems[i]));
  }
  FitLists();
  const int cursor = ComboBox_Dist->lineEdit()->cursorPosition();
  ComboBox_Dist->setEditText(typed ? shown : ComboBox_Dist->itemText(index));
  // An entry shows from its beginning; typed text keeps its cursor.
  ComboBox_Dist->lineEdit()->setCursorPosition(typed ? cursor : 0);

  for (int n = 1; n <= 9; ++n) CheckBoxes[n - 1]->setText(tr(kCheckBoxCaptions[n - 1]));
  // Like the labels, a check box grows out of its design width rather than cut its
  // caption, up to the column beside it.
  FitFont(
      std::vector<QWidget*>(CheckBoxes.begin(), CheckBoxes.end()), WindowFont(17, true), [this] {
        return std::all_of(CheckBoxes.begin(), CheckBoxes.end(),
                           [](QCheckBox* box) { return box->sizeHint().width() <= kCheckBoxRoom; });
      });
  for (QCheckBox* box : CheckBoxes) {
    box->resize(std::clamp(box->sizeHint().width(), kCheckBoxWidth, kCheckBoxRoom), box->height());
  }

  QStringList lines;
  for (const char* line : kHelpLines) lines << (*line ? tr(line) : QString());
  HelpMemo->setPlainText(lines.join(QLatin1Char('\n')));
  FitHelpMemo();

  Help2->setText(tr("Kelvaro &Hilfe"));
  Showers1->setText(tr("Meteorströme"));
  Form_Showers->RetranslateUi();
}

// Every entry of the three editable lists shows whole: a list grows to the right out of
// its design width up to its room, and the three take a smaller font when that is not
// enough.
void TForm_Main::FitLists() {
  const std::pair<QComboBox*, const ControlPlace&> lists[] = {{ComboBox_Part, kPartListPlace},
                                                              {ComboBox_Dist, kDistListPlace},
                                                              {ComboBox_Step, kStepListPlace}};
  FitFont({ComboBox_Part, ComboBox_Dist, ComboBox_Step}, WindowFont(15, true), [&] {
    return std::all_of(std::begin(lists), std::end(lists), [](const auto& list) {
      return ListWidthNeeded(list.first) <= list.second.room;
    });
  });
  auto width = [](const auto& list) {
    return std::clamp(ListWidthNeeded(list.first), list.second.design.width(), list.second.room);
  };
  // The particle count and distribution lists, one above the other, keep one width.
  const int upperWidth = std::max(width(lists[0]), width(lists[1]));
  for (const auto& list : lists) {
    QRect geometry = list.second.design;
    geometry.setWidth(list.first == ComboBox_Step ? width(list) : upperWidth);
    list.first->setGeometry(geometry);
  }
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

void TForm_Main::SetTimeLabel(const QString& text) {
  Label1->setText(text);
  const int width = std::max(12, Label1->sizeHint().width());
  Label1->setGeometry(kTimeLabelRight - width, 75, width, 24);
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
