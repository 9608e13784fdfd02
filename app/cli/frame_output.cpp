#include "frame_output.h"

#include <cstdio>

#include "view/background.h"
#include "view/frame_export.h"
#include "view/scene_images.h"
#include "view/view_state.h"

namespace stelvo {

struct FrameOutput::Impl {
  CliOptions options;
  ViewState view;
  PlanetTicks ticks{};
  SceneImages scenes;
  int written = 0;
};

FrameOutput::FrameOutput(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FrameOutput::~FrameOutput() = default;

std::unique_ptr<FrameOutput> FrameOutput::For(const CliOptions& options) {
  if (options.pngPath.empty() && options.framesDir.empty()) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->options = options;
  // The drawing area is the panel's inside, one bevel pixel from each edge.
  SetPanelGeometry(impl->view, options.width + 2, options.height + 2);
  UpdateView(impl->view, options.zoom, options.incl);
  impl->ticks[1] = true;  // the Sun is always drawn
  for (int planet : options.planets) impl->ticks[planet] = true;
  impl->scenes.Resize(impl->view);
  DrawBackground(impl->scenes.Background(), impl->view, MakePlanetOrbits(), impl->ticks);
  return std::unique_ptr<FrameOutput>(new FrameOutput(std::move(impl)));
}

bool FrameOutput::AfterStep(const RunState& state, int step, bool lastStep, std::string& error) {
  Impl& o = *impl_;
  const bool sequenceFrame = !o.options.framesDir.empty() && step % o.options.every == 0;
  const bool finalFrame = lastStep && !o.options.pngPath.empty();
  if (!sequenceFrame && !finalFrame) return true;
  const int slot = state.CurrentSlot;
  o.scenes.DrawNextFrame(o.view,
                         {state.Pos(kX, slot), state.Pos(kY, slot), state.Pos(kZ, slot),
                          state.BodyCount},
                         o.ticks);
  if (sequenceFrame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", ++o.written);
    if (!WritePngAtomically(o.scenes.Presented(), o.options.framesDir + name, error)) return false;
  }
  return !finalFrame || WritePngAtomically(o.scenes.Presented(), o.options.pngPath, error);
}

}  // namespace stelvo
