// Form_Main's layout: the creation of its controls, their places and sizes, the
// menu and the tab order, and the fitting of each text into its control's room. The
// texts themselves are form_main_texts.cpp's; the handlers form_main.cpp's.

#include <QAbstractItemView>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "data/comet_catalogue.h"
#include "ui/fonts.h"
#include "ui/form_main.h"
#include "ui/form_main_texts.h"
#include "ui/pictures.h"
#include "ui/scene_widget.h"
#include "ui/shower_window.h"
#include "ui/version_panel.h"

namespace stelvo {

namespace {

constexpr int kStripHeight = 170;     // Panel_Bttm
constexpr int kRightStripWidth = 40;  // Panel_Rght
constexpr int kStatusBarHeight = 25;
constexpr int kTimeLabelRight = 215 + 12;  // Label1 grows to the left of this edge
const QColor kStripColour(189, 184, 172);

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
constexpr QRect kHelpMemoBox(9, 9, 864, 304);

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
};

// Gives caption labels, their texts set, one font in which every text fits its label's
// room, and places them.
void PlaceCaptions(std::initializer_list<Caption> captions, const QFont& design) {
  const QFont chosen = FittingFont(design, [&](const QFont& font) {
    const QFontMetrics metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&](const Caption& caption) {
      return metrics.horizontalAdvance(caption.label->text()) <= caption.place.room;
    });
  });
  for (const Caption& caption : captions) {
    caption.label->setFont(chosen);
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

void TForm_Main::BuildWindow() {
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
}

// The restored size, centred; the program shows the window maximised.
void TForm_Main::PlaceRestored() {
  resize(1135, 774);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TForm_Main::BuildTopStrip() {
  QWidget* strip = Panel_Bttm;
  const QFont bold15 = WindowFont(15, true);
  const QFont bold18 = WindowFont(18, true);

  Label6 = MakeLabel(strip, "Label6", kLabel6Place.design, FixedPitchFont(13, true));
  Label6->setText(CatalogueHeader());
  PlaceCaptions({{Label6, kLabel6Place}}, Label6->font());
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
  ComboBox_Dist = MakeList(strip, "ComboBox_Dist", QStringList(qsizetype(kDistributionCount)),
                           kDistListBox, bold15, true);
  Label3 = MakeLabel(strip, "Label3", kLabel3Place.design, bold15);
  ComboBox_Step = MakeList(strip, "ComboBox_Step", {"0.25", "0.5", "1", "2", "5", "10"},
                           kStepListBox, bold15, true);

  BuildPlanetBoxes();

  Label_Zoom = MakeLabel(strip, "Label_Zoom", {798, 52, 10, 10}, WindowFont(20));
  TrackBar_Zoom = new QSlider(Qt::Horizontal, strip);
  TrackBar_Zoom->setObjectName(QStringLiteral("TrackBar_Zoom"));
  TrackBar_Zoom->setGeometry(721, 72, 249, 41);
  TrackBar_Zoom->setRange(kZoomMin, kZoomMax);
  TrackBar_Zoom->setTickInterval(5);
  TrackBar_Zoom->setTickPosition(QSlider::TicksAbove);
  TrackBar_Zoom->setValue(60);  // design-time position, replaced at creation
}

void TForm_Main::BuildPlanetBoxes() {
  const PlanetTicks startTicks = StartPlanetTicks();
  for (int n = 1; n <= 9; ++n) {
    auto* box = new QCheckBox(Panel_Bttm);
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
}

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

void TForm_Main::BuildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  Exit1 = file->addAction(ExitMenuPicture(), QStringLiteral("E&xit"));
  Exit1->setObjectName(QStringLiteral("Exit1"));
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
  bar->addAction(QString());

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  Help2 = help->addAction(HelpMenuPicture(), QString());
  Help2->setObjectName(QStringLiteral("Help2"));
  Help2->setEnabled(false);
  Version1 = help->addAction(VersionMenuPicture(), QStringLiteral("Kelvaro &Version information"));
  Version1->setObjectName(QStringLiteral("Version1"));
  bar->addAction(QString());

  System1 = bar->addAction(QStringLiteral("System"));
  System1->setObjectName(QStringLiteral("System1"));
  System1->setEnabled(false);

  // The shower window's entry comes after all the others, so theirs keep their places.
  Showers1 = bar->addAction(QString());
  Showers1->setObjectName(QStringLiteral("Showers1"));
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

void TForm_Main::SetTimeLabel(const QString& text) {
  Label1->setText(text);
  const int width = std::max(12, Label1->sizeHint().width());
  Label1->setGeometry(kTimeLabelRight - width, 75, width, 24);
}

// Each group of controls keeps one font, so that a fitted caption still looks like its
// neighbours; every fit starts from the design font, so German gets its own back.
void TForm_Main::FitButtons() {
  FitFont({Button_Start, Button_Stop, Button_Exit, Button_Explanation}, WindowFont(14), [this] {
    for (QPushButton* button : {Button_Start, Button_Stop, Button_Exit, Button_Explanation}) {
      if (button->sizeHint().width() > button->width()) return false;
    }
    return true;
  });
}

void TForm_Main::FitCaptions() {
  PlaceCaptions({{Label5, kLabel5Place}}, WindowFont(15, true));
  PlaceCaptions({{Label4, kLabel4Place}}, WindowFont(18, true));
  PlaceCaptions({{Label2, kLabel2Place}, {Label9, kLabel9Place}, {Label3, kLabel3Place}},
                WindowFont(15, true));
}

// Like the labels, a check box grows out of its design width rather than cut its
// caption, up to the column beside it.
void TForm_Main::FitCheckBoxes() {
  FitFont(
      std::vector<QWidget*>(CheckBoxes.begin(), CheckBoxes.end()), WindowFont(17, true), [this] {
        return std::all_of(CheckBoxes.begin(), CheckBoxes.end(),
                           [](QCheckBox* box) { return box->sizeHint().width() <= kCheckBoxRoom; });
      });
  for (QCheckBox* box : CheckBoxes) {
    box->resize(std::clamp(box->sizeHint().width(), kCheckBoxWidth, kCheckBoxRoom), box->height());
  }
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

}  // namespace stelvo
