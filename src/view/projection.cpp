#include "view/projection.h"

namespace stelvo {

PixelPoint Project(const ViewState& view, double x, double y, double z) {
  return Projection(view).Pixel(x, y, z);
}

}  // namespace stelvo
