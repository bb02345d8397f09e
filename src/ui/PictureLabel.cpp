#include "ui/PictureLabel.h"

#include <QPainter>
#include <cmath>

namespace vorlix {

void PictureLabel::SetDrawing(Drawing drawing, double size) {
    drawing_ = std::move(drawing);
    size_ = size;
    update();
}

void PictureLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    QPainter painter(this);
    if (drawing_) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(std::round((width() - size_) / 2.0),
                          std::round((height() - size_) / 2.0));
        drawing_(painter, size_);
        painter.restore();
    }
}

}  // namespace vorlix
