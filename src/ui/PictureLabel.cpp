#include "ui/PictureLabel.h"

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
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(std::round((width() - size_) / 2.0),
                          std::round((height() - size_) / 2.0));
        drawing_(painter, size_);
        painter.restore();
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
