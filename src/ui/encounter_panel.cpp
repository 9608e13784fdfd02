#include "ui/encounter_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "meteors/sky_geometry.h"
#include "ui/shower_window.h"

namespace stelvo {

EncounterPanel::EncounterPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("EncounterPanel"));
  Label_Encounter = new QLabel(this);
  Label_Encounter->setObjectName(QStringLiteral("Label_Encounter"));
  Label_Encounter->setWordWrap(true);
  Image_Profile = new ChartView(
      profile_.Image(), [this] { DrawProfile(); }, this);
  Image_Profile->setObjectName(QStringLiteral("Image_Profile"));
  Image_Profile->setMinimumSize(360, 140);
  Image_TrailMap = new ChartView(
      trailMap_.Image(), [this] { DrawTrailMap(); }, this);
  Image_TrailMap->setObjectName(QStringLiteral("Image_TrailMap"));
  Image_TrailMap->setMinimumSize(360, 180);
  Image_WorldMap = new ChartView(
      worldMap_.Image(), [this] { DrawWorldMap(); }, this);
  Image_WorldMap->setObjectName(QStringLiteral("Image_WorldMap"));
  Image_WorldMap->setMinimumSize(300, 240);

  auto* pictures = new QVBoxLayout;
  pictures->addWidget(Image_Profile, 2);
  pictures->addWidget(Image_TrailMap, 3);
  auto* row = new QHBoxLayout;
  row->addLayout(pictures, 3);
  row->addWidget(Image_WorldMap, 2);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(Label_Encounter);
  column->addLayout(row, 1);
  RetranslateUi();
}

void EncounterPanel::ShowEncounter(std::optional<TrailEncounter> encounter) {
  encounter_ = std::move(encounter);
  RetranslateUi();
}

void EncounterPanel::DrawProfile() {
  // Without an encounter, no image: the view shows the window's ground.
  profile_.Resize(encounter_ ? Image_Profile->width() : 0, encounter_ ? Image_Profile->height() : 0);
  if (encounter_) {
    ZhrProfileTexts texts;
    texts.time = tr("Zeit (UTC)");
    texts.zhr = tr("ZHR");
    texts.title = tr("ZHR %1 ± %2, Halbwertsbreite %3 min, Maximum ± %4 min");
    texts.empty = tr("Kein Profil");
    profile_.Redraw(*encounter_, texts);
  }
  Image_Profile->update();
}

void EncounterPanel::DrawTrailMap() {
  // Without an encounter, no image: the view shows the window's ground.
  trailMap_.Resize(encounter_ ? Image_TrailMap->width() : 0, encounter_ ? Image_TrailMap->height() : 0);
  if (encounter_) {
    TrailMapTexts texts;
    texts.time = tr("Zeit (UTC)");
    texts.miss = tr("rD − rE (AE)");
    texts.title = tr("Spur %1, Maximum %2 UTC, %3 Teilchen nahe der Erde");
    texts.earth = tr("Erde");
    texts.empty = tr("Keine Teilchen nahe der Erde");
    trailMap_.Redraw(*encounter_, texts);
  }
  Image_TrailMap->update();
}

void EncounterPanel::DrawWorldMap() {
  // Without an encounter, no image: the view shows the window's ground.
  worldMap_.Resize(encounter_ ? Image_WorldMap->width() : 0, encounter_ ? Image_WorldMap->height() : 0);
  if (encounter_) {
    WorldMapTexts texts;
    texts.title = tr("Sichtbarkeit am Maximum, %1 UTC");
    texts.day = tr("Tag");
    texts.twilight = tr("Dämmerung (Sonne über −12°)");
    texts.radiantDown = tr("dunkel, Radiant unter dem Horizont");
    texts.radiantUp = tr("dunkel, Radiant oben (heller: höher)");
    texts.sunOverhead = tr("Sonne im Zenit");
    texts.radiantOverhead = tr("Radiant im Zenit");
    worldMap_.Redraw(SkyAt(encounter_->peakJd, encounter_->raDeg, encounter_->decDeg),
                     encounter_->peakJd, texts);
  }
  Image_WorldMap->update();
}

void EncounterPanel::RetranslateUi() {
  if (encounter_) {
    const TrailEncounter& e = *encounter_;
    Label_Encounter->setText(
        tr("Spur %1 im Jahr %2: Maximum %3 UTC, λ☉ %4°, ZHR %5, Dauer (Halbwertsbreite) %6 min, "
           "Abstand %7 AE, Radiant RA %8° Dek %9°")
            .arg(e.trailYear)
            .arg(e.forecastYear)
            .arg(QString::fromStdString(FormatUtc(e.peakJd)).replace(QLatin1Char('T'), QLatin1Char(' ')))
            .arg(e.lambdaSun, 0, 'f', 3)
            .arg(e.zhr, 0, 'f', 0)
            .arg(e.fwhmMin, 0, 'f', 0)
            .arg(e.missAu, 0, 'f', 5)
            .arg(e.raDeg, 0, 'f', 1)
            .arg(e.decDeg, 0, 'f', 1));
  } else {
    Label_Encounter->setText(
        tr("Eine Begegnung in der Tabelle oder auf der Zeitleiste wählen: ihr Profil, ihre "
           "Spur und wo sie zu sehen ist."));
  }
  DrawProfile();
  DrawTrailMap();
  DrawWorldMap();
}

void EncounterPanel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

}  // namespace stelvo
