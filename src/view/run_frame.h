#pragma once
// One frame of a run: the finished background copied as one block, the Sun and the
// ticked planets as discs, every particle as one pixel, all seen from the Sun's
// current position. Called once per integration step through SceneImages.

#include <QImage>

#include "view/background.h"
#include "view/view_state.h"

namespace stelvo {

// Bodies drawn only while each tested coordinate of their own position is below this
// in absolute value (massive bodies: x, y and z; particles: x and y). NaN never is.
inline constexpr double kDrawLimitAu = 100.0;
inline constexpr int kFrameMassiveCount = 10;

// Positions of one history slot: body n at index n - 1 of each array (as the run
// state stores them), bodies 1 to 10 massive, the rest particles.
struct BodyPositions {
  const double* x = nullptr;
  const double* y = nullptr;
  const double* z = nullptr;
  int bodyCount = 0;
};

// Replaces `frame` by `background` (one block copy; a frame of another size or format
// is first made a copy of the background) and draws the bodies on it. Writes straight
// into the scanlines; allocates nothing when the sizes match.
void DrawRunFrame(QImage& frame, const QImage& background, const ViewState& view,
                  const BodyPositions& bodies, const PlanetTicks& ticks);

}  // namespace stelvo
