#pragma once

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/PictureLabel.h"

namespace vorlix {

// A label that reports a left click released over it, and Enter or Space
// when it has the keyboard focus.
class ClickableLabel : public PictureLabel {
    Q_OBJECT
  public:
    using PictureLabel::PictureLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            emit clicked();
        PictureLabel::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (IsActivationKey(event->key())) {
            emit clicked();
            return;
        }
        PictureLabel::keyPressEvent(event);
    }
};

}  // namespace vorlix
