#pragma once
// The encounter picked in the shower window's forecast view, in pictures: its ZHR
// profile above its trail map (the same time axis) and the world map of where its
// radiant is up in a dark sky at the peak. The window hands it the encounter picked
// in the table or on the timeline; the panel only draws.

#include <QWidget>
#include <optional>

#include "meteors/forecast.h"
#include "view/trail_map.h"
#include "view/world_map.h"
#include "view/zhr_profile.h"

class QLabel;

namespace stelvo {

class ChartView;

class EncounterPanel : public QWidget {
  Q_OBJECT

 public:
  explicit EncounterPanel(QWidget* parent);

  QLabel* Label_Encounter;  // what is shown, or how to pick an encounter
  ChartView* Image_Profile;
  ChartView* Image_TrailMap;
  ChartView* Image_WorldMap;

  // Shows an encounter (a copy is kept); nothing clears the pictures.
  void ShowEncounter(std::optional<TrailEncounter> encounter);
  const std::optional<TrailEncounter>& Encounter() const { return encounter_; }
  void RetranslateUi();

  const ZhrProfile& Profile() const { return profile_; }
  const TrailMap& Map() const { return trailMap_; }
  const WorldMap& World() const { return worldMap_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void DrawProfile();
  void DrawTrailMap();
  void DrawWorldMap();

  ZhrProfile profile_;
  TrailMap trailMap_;
  WorldMap worldMap_;
  std::optional<TrailEncounter> encounter_;
};

}  // namespace stelvo
