#include "view/run_frame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "view/projection.h"
#include "view/raster.h"
#include "view/scene_colours.h"

namespace stelvo {

namespace {

// The disc box of a body relative to its pixel, right and bottom edges exclusive.
struct DiscRow {
  QRgb fill;
  int left, top, right, bottom;
};

// Rows by body number; Pluto (10) has none and is never drawn.
constexpr std::array<DiscRow, 10> kDiscRows = {{
    {},
    {kYellow, -10, -10, 10, 10},     // Sun
    {kBlack, -3, -3, 3, 3},          // Mercury
    {kOrange, -5, -5, 5, 5},         // Venus
    {kLightBlue, -5, -5, 5, 5},      // Earth-Moon barycentre
    {kRed, -3, -3, 3, 3},            // Mars
    {kJupiterColour, -7, -7, 7, 6},  // Jupiter
    {kSaturnColour, -6, -6, 6, 6},   // Saturn
    {kLightBlue, -6, -6, 6, 6},      // Uranus
    {kBlue, -6, -6, 6, 6},           // Neptune
}};
constexpr int kSaturn = 7;
constexpr int kLastDiscBody = 9;

// Prepared once; every frame only copies their pixels.
const std::array<DiscSprite, 10>& DiscSprites() {
  static const std::array<DiscSprite, 10> sprites = [] {
    std::array<DiscSprite, 10> made;
    for (int n = 1; n <= kLastDiscBody; ++n) {
      const DiscRow& row = kDiscRows[n];
      made[n] = DiscSprite(row.right - row.left, row.bottom - row.top, row.fill);
    }
    return made;
  }();
  return sprites;
}

bool WithinDrawLimit(double v) { return std::fabs(v) < kDrawLimitAu; }

void CopyBackground(QImage& frame, const QImage& background) {
  if (frame.size() != background.size() || frame.format() != background.format() ||
      frame.bytesPerLine() != background.bytesPerLine()) {
    frame = background.copy();
    return;
  }
  if (background.isNull()) return;
  std::memcpy(frame.bits(), background.constBits(),
              static_cast<std::size_t>(background.sizeInBytes()));
}

}  // namespace

void DrawRunFrame(QImage& frame, const QImage& background, const ViewState& view,
                  const BodyPositions& bodies, const PlanetTicks& ticks) {
  CopyBackground(frame, background);
  if (frame.isNull() || frame.depth() != 32 || bodies.bodyCount < 1) return;

  const Projection projection(view);
  const double xs = bodies.x[0], ys = bodies.y[0], zs = bodies.z[0];
  const int massive = std::min(bodies.bodyCount, kFrameMassiveCount);
  const auto& sprites = DiscSprites();

  for (int i = 0; i < massive; ++i) {
    const int n = i + 1;
    const double x = bodies.x[i], y = bodies.y[i], z = bodies.z[i];
    if (!(WithinDrawLimit(x) && WithinDrawLimit(y) && WithinDrawLimit(z))) continue;
    if (n > kLastDiscBody || !ticks[n]) continue;
    const PixelPoint p = projection.Pixel(x - xs, y - ys, z - zs);
    const DiscRow& row = kDiscRows[n];
    sprites[n].Draw(frame, p.x + row.left, p.y + row.top);
    if (n == kSaturn) DrawLineExcludingEnd(frame, p.x - 10, p.y + 8, p.x + 10, p.y - 8, kBlack);
  }

  // Particles: one pixel each, written straight into the scanlines, drawn last.
  const unsigned width = static_cast<unsigned>(frame.width());
  const unsigned height = static_cast<unsigned>(frame.height());
  auto* bits = reinterpret_cast<QRgb*>(frame.bits());
  const std::ptrdiff_t stride = frame.bytesPerLine() / 4;
  for (int i = massive; i < bodies.bodyCount; ++i) {
    const double x = bodies.x[i], y = bodies.y[i], z = bodies.z[i];
    if (!(WithinDrawLimit(x) && WithinDrawLimit(y))) continue;
    const PixelPoint p = projection.Pixel(x - xs, y - ys, z - zs);
    // Negative coordinates wrap to huge unsigned values and fail the test as well.
    if (static_cast<unsigned>(p.x) >= width || static_cast<unsigned>(p.y) >= height) continue;
    bits[p.y * stride + p.x] = z > 0 ? kBlack : kRed;
  }
}

}  // namespace stelvo
