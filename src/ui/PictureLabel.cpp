#include "ui/PictureLabel.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
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
        // Drawn apart at the screen's pixel ratio, so that the label's own
        // font (a link's underline) does not reach the picture's texts.
        const double ratio = devicePixelRatioF();
        QImage picture(QSize(std::ceil(size_ * ratio), std::ceil(size_ * ratio)),
                       QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        {
            QPainter pictured(&picture);
            pictured.setRenderHint(QPainter::Antialiasing);
            drawing_(pictured, size_);
        }
        painter.drawImage(
            QPointF(std::round((width() - size_) / 2.0), std::round((height() - size_) / 2.0)),
            picture);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

bool PictureLabel::IsActivationKey(int key) const {
    return hasFocus() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space);
}

}  // namespace vorlix
