#pragma once
// When and how close the Earth passes a dust trail, from the trail's grains near the
// Earth's orbit in one year: the peak time and the miss distance of an encounter with
// their standard errors. Pure functions; called by the trail forecast for every
// encounter.
//
// The Earth meets the grains whose node lies on its orbit (rD - rE = 0) and which pass
// that node when the Earth does. A forecast's grains are those within some 0.002 AU
// and 30 days of that, a cloud much wider than the point the Earth passes through and
// tilted in it: across the trail the node's longitude moves with rD - rE (the
// trail's cross-section is inclined to the Earth's path), and along the trail with
// the instant of the grain's passage. A plain mean over such a cloud gives the
// instant of its centre, not of the Earth's passage (tens of minutes for the
// Leonids; a trail whose grains arrive weeks after the Earth looks like a hit). So
// both are fitted locally by least squares and read at the Earth, as the
// forecasters time a trail's node where the Earth crosses it (McNaught and Asher
// 1999, WGN 27, 85; Vaubaillon, Colas and Jorda 2005, A&A 439, 751).

#include <span>

namespace stelvo {

// One grain's node as the forecast measures it against the Earth.
struct PassageNode {
  double earthJd;  // the Earth's passage of the node's longitude
  double nodeJd;   // the grain's own passage of its node
  double missAu;   // rD - rE there
};

struct TrailPassage {
  double peakJd = 0;        // the Earth's passage of the trail, the run's time scale
  double peakSigmaMin = 0;  // its standard error, minutes
  double missAu = 0;        // rD - rE of the trail section the Earth meets
  double missSigmaAu = 0;
};

// peakJd: earthJd = a + b missAu + c (earthJd - nodeJd) over `near` (the grains within
// the encounter distance), read at missAu = 0 and earthJd = nodeJd. missAu: missAu = m
// + k (earthJd - nodeJd) over `band` (every grain of the year in the node band, which a
// cut in missAu does not bias), read at earthJd = nodeJd. Fewer than 20 grains, or
// grains on which a slope is not determined (all at one miss distance or instant):
// the plain mean over that set, with the standard error of the mean.
TrailPassage FitTrailPassage(std::span<const PassageNode> near, std::span<const PassageNode> band);

}  // namespace stelvo
