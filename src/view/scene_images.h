#pragma once
// The three scene images of the drawing area: the orbit background and two frame
// buffers. A run draws each frame into the buffer that is not presented and then
// presents it, so what the window shows is always a complete frame. The window and
// the CLI own one instance; images are allocated only when the area's size changes.

#include <QImage>

#include "view/background.h"
#include "view/run_frame.h"
#include "view/view_state.h"

namespace stelvo {

class SceneImages {
 public:
  // Allocates the three images for the view's DrawWidth x DrawHeight (nothing for a
  // zero size) and fills them silver; an unchanged size keeps every image as it is.
  // The caller redraws the background next.
  void Resize(const ViewState& view);

  QImage& Background() { return images_[kBackgroundLayer]; }
  const QImage& Background() const { return images_[kBackgroundLayer]; }

  // The newest complete frame: buffer 0's silver fill before the first frame.
  // Keep no copy of it beyond painting: a copy held on to makes the next frame drawn
  // into that buffer detach, which costs a full allocation and copy.
  const QImage& Presented() const { return images_[presented_]; }

  // The frame buffer drawn next, 0 or 1; 0 at construction and never reset by runs.
  int FrameIndex() const { return frameIndex_; }
  const QImage& Buffer(int index) const { return images_[index]; }

  // Draws the next frame into buffer FrameIndex, presents it and flips FrameIndex.
  void DrawNextFrame(const ViewState& view, const BodyPositions& bodies, const PlanetTicks& ticks);

 private:
  static constexpr int kBackgroundLayer = 2;
  QImage images_[3];  // [0] and [1] frame buffers, [2] the background
  int frameIndex_ = 0;
  int presented_ = 0;
};

}  // namespace stelvo
