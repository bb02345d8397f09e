#pragma once

#include <QLabel>
#include <functional>

class QPainter;

namespace vorlix {

// A label that may show a drawing instead of a bitmap: drawn anew at every
// paint, at the device pixel ratio of the screen it is on, so it is sharp on
// a 2x screen as on a 1x one. It also marks the keyboard focus when a window
// lets it take the focus.
class PictureLabel : public QLabel {
    Q_OBJECT
  public:
    // Draws into the square from (0, 0) to (size, size), in logical pixels.
    using Drawing = std::function<void(QPainter& painter, double size)>;

    using QLabel::QLabel;

    // The drawing, `size` logical pixels square, in the middle of the label.
    void SetDrawing(Drawing drawing, double size);
    bool HasDrawing() const { return static_cast<bool>(drawing_); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter and Space act as a click does, for labels that take the focus.
    bool IsActivationKey(int key) const;

  private:
    Drawing drawing_;
    double size_ = 0;
};

}  // namespace vorlix
