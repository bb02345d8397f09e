#pragma once

#include <QString>

#include "ui/PictureLabel.h"

namespace vorlix {

// A label that shows a caption (or a picture) and opens its address (a web
// page or a mailto: address) in the user's browser or mail program when
// clicked, or on Enter or Space when it has the keyboard focus.
class HyperlinkLabel : public PictureLabel {
    Q_OBJECT
  public:
    explicit HyperlinkLabel(QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    void SetUrl(const QString& url);
    const QString& Url() const { return url_; }

  signals:
    void Opened(const QString& url);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Open();

    QString url_;
};

}  // namespace vorlix
