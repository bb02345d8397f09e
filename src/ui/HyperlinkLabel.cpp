#include "ui/HyperlinkLabel.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>

namespace vorlix {

HyperlinkLabel::HyperlinkLabel(QWidget* parent) : PictureLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    setPalette(colours);
}

void HyperlinkLabel::SetCaption(const QString& caption) { setText(caption); }

void HyperlinkLabel::SetUrl(const QString& url) {
    url_ = url;
    setToolTip(toolTip().isEmpty() ? url : toolTip());
}

void HyperlinkLabel::Open() {
    if (url_.isEmpty()) return;
    QDesktopServices::openUrl(QUrl(url_));
    emit Opened(url_);
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
    event->accept();
}

void HyperlinkLabel::keyPressEvent(QKeyEvent* event) {
    if (IsActivationKey(event->key())) {
        Open();
        return;
    }
    PictureLabel::keyPressEvent(event);
}

void HyperlinkLabel::changeEvent(QEvent* event) {
    // Whatever font the window gives it, a link stays underlined.
    if (event->type() == QEvent::FontChange && !font().underline()) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    PictureLabel::changeEvent(event);
}

}  // namespace vorlix
