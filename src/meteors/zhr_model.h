#pragma once
// How strong a dust-trail encounter is: what each model grain stands for (the comet's
// dust production at the release and a mass distribution), the flux of meteoroids
// bright enough to be seen through the Earth's cross-section, and the zenithal hourly
// rate (ZHR) with its profile, duration and uncertainty. Pure functions; called by the
// trail forecast for every encounter and by the stream for its grains' weights.
//
// The model follows the weighting of Vaubaillon, Colas and Jorda (2005, A&A 439, 751
// and 761): the comet's water production from its magnitude, a dust mass in the
// modelled size range shared out over the grains by a power law in mass, and a flux
// counted where the grains cross the ecliptic near the Earth. One calibration
// constant (kZhrCalibration) scales the whole; it is fitted on the Leonid storm of
// 1999 from the 1899 trail.

#include <span>
#include <string_view>
#include <vector>

namespace stelvo {

// The comet's total brightness law m = H + 5 log10(delta) + 2.5 n log10(r) as the
// Minor Planet Center gives it (H and G = n). The same H serves every return: no
// magnitude per return is known for most comets.
struct CometActivity {
  static constexpr double kDefaultAbsoluteMagnitude = 10;  // a typical periodic comet
  double absoluteMagnitude = kDefaultAbsoluteMagnitude;
  double slopeN = 4;
};

// The catalogue comet's magnitude law (data/comet_magnitudes.h), or the default
// where the source gives none.
CometActivity ActivityOfComet(int cometIndex);

// A comet's shower with its population index r (meteors one magnitude fainter are r
// times as many), from the IMO Meteor Shower Calendar's working list (Rendtel, IMO);
// unknown comets get r = 2.5 and no shower name.
struct ShowerFacts {
  std::string_view name;
  double populationIndex;
};
ShowerFacts ShowerOfComet(std::string_view cometName);

// Differential mass index s of a population with population index r,
// s = 1 + 2.5 log10 r (Koschack and Rendtel 1990, WGN 18, 44).
double MassIndexFromPopulationIndex(double r);

// Dust mass (kg) the comet releases in one perihelion passage on an orbit of
// perihelion distance q (AU) and eccentricity e < 1, within activeWithinAu of the Sun:
// the water production log10 Q = 30.675 - 0.2453 m_h (molecules/s; Jorda, Crovisier
// and Green 2008, Asteroids Comets Meteors, LPI 1405, 8046) of the heliocentric
// magnitude m_h = H + 2.5 n log10 r, times the water molecule's mass and a dust-to-gas
// mass ratio of 1 (stated default), integrated over the active arc.
double DustMassPerReturnKg(const CometActivity& comet, double q, double e, double activeWithinAu);

// Mass (kg) of a spherical grain of radius radiusM (m) and bulk density densityKgM3.
double GrainMassKg(double radiusM, double densityKgM3);

// How the dust mass of a return is shared out over `modelGrains` grains drawn evenly
// in log mass between massMinKg and massMaxKg: with dN/dm = A m^-s over that range,
// a grain of mass m stands for A m^(1-s) ln(massMax/massMin) / modelGrains meteoroids.
double MeteoroidsPerGrain(double grainMassKg, double dustMassKg, double massIndex,
                          double massMinKg, double massMaxKg, int modelGrains);

// Mass (kg) of a meteoroid that gives a +6.5 meteor in the zenith at speed vKmS:
// M = 55.34 - 8.75 log10 v - 2.25 log10 m (v in cm/s, m in g; Verniani 1973, JGR 78,
// 8429).
double MassOfLimitingMeteorKg(double vKmS);

// ZHR from the flux of meteoroids able to give meteors of +6.5 or brighter, per km^2
// and hour perpendicular to the radiant: ZHR = Q 37200 km^2 / ((13.1 r - 16.5)
// (r - 1.3)^0.748) (Koschack and Rendtel 1990, WGN 18, 44); r above 1.3.
double ZhrFromFlux(double perKm2PerHour, double populationIndex);

// The one calibration constant: the computed ZHR is multiplied by it. Fitted so that
// the 1899 trail gives the observed ZHR 3,700 of the Leonid storm of 1999 November 18
// (Arlt et al. 1999, WGN 27, 286) with the forecast's default settings.
inline constexpr double kZhrCalibration = 0.083;

// One grain near the Earth in an encounter: when the Earth passes its node, how far
// the node lies outside the Earth's orbit (rD - rE, AU), and how many real meteoroids
// bright enough to be seen (above the +6.5 mass) it stands for.
struct EncounterNode {
  double earthJd;
  double missAu;
  double weight;
};

struct ProfilePoint {
  double jd;
  double zhr;
};

struct EncounterGeometry {
  double windowDays;          // grains are near when they pass within this of the Earth
  double earthSpeedAuPerDay;  // the Earth's speed along its orbit
  double cosEclipticAngle;    // cosine between the geocentric velocity and the ecliptic's pole
  double vgKmS;               // geocentric speed (gravitational focusing)
  double populationIndex;
};

struct ZhrEstimate {
  double zhr = 0;          // at the profile's maximum
  double zhrSigma = 0;     // its standard deviation over a bootstrap of the grains
  double fwhmMin = 0;      // full width of the profile at half its maximum, minutes
  std::vector<ProfilePoint> profile;
};

// The encounter's strength from its grains. Where a grain crosses the ecliptic,
// relative to the Earth when it does, is d = (rD - rE across, Earth's speed x (Earth's
// passage - node time) along); the grain hits the Earth when d lies within the Earth's
// disc projected on the ecliptic along v_g (area pi R^2 / |cos|). So the flux through
// a plane across the radiant is the grains' weighted density in d at d = 0, per
// |cos|: estimated with a Gaussian kernel across (Silverman's bandwidth from the
// grains' rD - rE) and as even along over the +-windowDays of the encounter, and
// spread in time by a Gaussian kernel over the Earth's passages (Silverman's
// bandwidth). Gravitational focusing raises it by 1 + (v_esc / v_g)^2. The ZHR
// uncertainty comes from 100 resamplings of the grains with a fixed seed.
ZhrEstimate EstimateEncounter(std::span<const EncounterNode> nodes, const EncounterGeometry& geometry,
                              double calibration = kZhrCalibration);

}  // namespace stelvo
