#pragma once
// The view state shared by the background and the run frames: zoom, inclination and
// the drawing area's centre and size. The window updates it from its two sliders
// (UpdateView) and from its drawing panel's size (SetPanelGeometry); the CLI does the
// same from its options.

#include <QString>

namespace stelvo {

inline constexpr int kZoomMin = 15, kZoomMax = 150;  // pixels per AU, the zoom slider's range
inline constexpr int kInclMin = 0, kInclMax = 90;    // degrees, the inclination slider's range
inline constexpr int kStartZoom = 87, kStartIncl = 45;

struct ViewState {
  int ZoomScale = 0;          // pixels per AU
  double InclinationDeg = 0;  // minus the inclination slider's position
  double SinIncl = 0, CosIncl = 0;
  int CentreX = 0, CentreY = 0;       // projection centre in layer pixels
  int DrawWidth = 0, DrawHeight = 0;  // size of every layer image
};

// The zoom label's text, "Zoomfaktor (87)" for zoom 87.
QString ZoomLabelText(int zoomScale);

// Sets zoom, inclination and its sine and cosine from the two slider positions and
// returns the zoom label's text. The caller redraws the background afterwards.
QString UpdateView(ViewState& view, int zoomPosition, int inclPosition);

// Centre and layer size from the drawing panel's outer size: the panel's 1-pixel bevel
// leaves width - 2 by height - 2 pixels, while the centre is taken from the outer size.
// A panel smaller than its bevel gives a zero size, never a negative one.
void SetPanelGeometry(ViewState& view, int panelWidth, int panelHeight);

}  // namespace stelvo
