#pragma once
// Pixel primitives written straight into the scanlines of 32-bit images
// (QImage::Format_RGB32), with the raster rules of the drawing: lines lit one pixel
// per column (or row) with their end point not set, discs from prepared sprites.
// Used by the background and the run frames; every primitive clips to the image.

#include <QImage>
#include <QRgb>
#include <vector>

namespace stelvo {

// The format of every scene image: 0xffRRGGBB per pixel.
inline constexpr QImage::Format kSceneFormat = QImage::Format_RGB32;

// Line from (x0, y0) towards (x1, y1), first pixel set, end point not set. Each
// column (each row for a steep line) gets the pixel nearest to the exact line; where
// the line passes exactly between two pixels, the upper one (the left one for a steep
// line) is lit. Coordinates beyond +-kPixelLimit are clamped to it (projected points
// never lie beyond); the work is bounded by the image's size, not the line's length.
void DrawLineExcludingEnd(QImage& image, int x0, int y0, int x1, int y1, QRgb colour);

// A filled, outlined ellipse prepared once as a pixel mask and copied per frame.
class DiscSprite {
 public:
  DiscSprite() = default;
  // The ellipse inscribed in a width x height box (right and bottom edges exclusive),
  // filled with `fill`, outlined by a black pen 1 pixel wide, no antialiasing.
  DiscSprite(int width, int height, QRgb fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Opaque 0xffRRGGBB where the disc covers the box, 0 elsewhere; row by row.
  const std::vector<QRgb>& Pixels() const { return pixels_; }

  // Copies the disc's pixels with the box's top-left corner at (left, top).
  void Draw(QImage& image, int left, int top) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<QRgb> pixels_;
};

}  // namespace stelvo
