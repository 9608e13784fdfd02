#include "view/scene_images.h"

#include "view/raster.h"
#include "view/scene_colours.h"

namespace stelvo {

void SceneImages::Resize(const ViewState& view) {
  const QSize size(view.DrawWidth, view.DrawHeight);
  for (QImage& image : images_) {
    if (size.width() <= 0 || size.height() <= 0) {
      image = QImage();
      continue;
    }
    // An unchanged size keeps the content, so the last frame stays on screen.
    if (image.size() == size && image.format() == kSceneFormat) continue;
    image = QImage(size, kSceneFormat);
    image.fill(kSilver);
  }
}

void SceneImages::DrawNextFrame(const ViewState& view, const BodyPositions& bodies,
                                const PlanetTicks& ticks) {
  const int f = frameIndex_;
  DrawRunFrame(images_[f], images_[kBackgroundLayer], view, bodies, ticks);
  presented_ = f;
  frameIndex_ = 1 - frameIndex_;
}

}  // namespace stelvo
