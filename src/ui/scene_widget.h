#pragma once
// The drawing panel's picture: shows the newest complete frame of the scene
// (view/scene_images.h); nothing is drawn here. Form_Main owns one.

#include <QColor>
#include <QPainter>
#include <QWidget>

#include "view/scene_images.h"

namespace stelvo {

class SceneWidget : public QWidget {
 public:
  SceneWidget(const SceneImages& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QImage& frame = scene_.Presented();
    if (frame.isNull()) {
      painter.fillRect(rect(), QColor(192, 192, 192));
      return;
    }
    painter.drawImage(0, 0, frame);
  }

 private:
  const SceneImages& scene_;
};

}  // namespace stelvo
