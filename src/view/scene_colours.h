#pragma once
// The colours of the scene, opaque RGB.

#include <QRgb>

namespace stelvo {

inline constexpr QRgb kSilver = 0xffc0c0c0u;  // background fill (192, 192, 192)
inline constexpr QRgb kBlack = 0xff000000u;   // above the ecliptic; outlines
inline constexpr QRgb kRed = 0xffff0000u;     // below the ecliptic
inline constexpr QRgb kYellow = 0xffffff00u;
inline constexpr QRgb kOrange = 0xffffa000u;         // (255, 160, 0)
inline constexpr QRgb kLightBlue = 0xff00c0ffu;      // (0, 192, 255)
inline constexpr QRgb kJupiterColour = 0xffffb000u;  // (255, 176, 0)
inline constexpr QRgb kSaturnColour = 0xffffd000u;   // (255, 208, 0)
inline constexpr QRgb kBlue = 0xff0000ffu;

}  // namespace stelvo
