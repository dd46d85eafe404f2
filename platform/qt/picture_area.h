#pragma once
// A black area showing a bitmap stretched without smoothing, with a red outline over it.
#include "platform/window.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace orvex {

class PictureArea final : public QWidget {
  public:
    explicit PictureArea(QWidget* parent);
    // Copies the picture: its buffer may change once this returns.
    void show(const Picture& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    std::optional<PixelRect> outline_;
};

} // namespace orvex
