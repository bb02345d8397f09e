#include "app/Artwork.h"

#include <QFont>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <iterator>

namespace vorlix::artwork {
namespace {

// A flag is 3:2; it sits in the middle of a square picture.
QRectF FlagRect(double size) {
    const double height = size * 2.0 / 3.0;
    return QRectF(0, (size - height) / 2.0, size, height);
}

}  // namespace

void PaintCzechFlag(QPainter& painter, double size) {
    const QRectF flag = FlagRect(size);
    const double half = flag.height() / 2.0;
    painter.fillRect(QRectF(flag.left(), flag.top(), flag.width(), half), Qt::white);
    painter.fillRect(QRectF(flag.left(), flag.top() + half, flag.width(), half),
                     QColor(215, 20, 26));
    const QPolygonF wedge{flag.topLeft(),
                          QPointF(flag.left() + flag.width() / 2.0, flag.center().y()),
                          flag.bottomLeft()};
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(17, 69, 126));
    painter.drawPolygon(wedge);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 70), 1));
    painter.drawRect(flag.adjusted(0.5, 0.5, -0.5, -0.5));
}

void PaintEnglishFlag(QPainter& painter, double size) {
    const QRectF flag = FlagRect(size);
    painter.setClipRect(flag);
    painter.fillRect(flag, QColor(1, 33, 105));
    const double unit = flag.height() / 30.0;
    const QColor red(200, 16, 46);
    // Diagonals: white saltire with a thinner red one over it.
    painter.setPen(QPen(Qt::white, 6 * unit));
    painter.drawLine(flag.topLeft(), flag.bottomRight());
    painter.drawLine(flag.bottomLeft(), flag.topRight());
    painter.setPen(QPen(red, 2 * unit));
    painter.drawLine(flag.topLeft(), flag.bottomRight());
    painter.drawLine(flag.bottomLeft(), flag.topRight());
    // The upright cross: white, then red.
    const QPointF centre = flag.center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(centre.x() - 5 * unit, flag.top(), 10 * unit, flag.height()));
    painter.drawRect(QRectF(flag.left(), centre.y() - 5 * unit, flag.width(), 10 * unit));
    painter.setBrush(red);
    painter.drawRect(QRectF(centre.x() - 3 * unit, flag.top(), 6 * unit, flag.height()));
    painter.drawRect(QRectF(flag.left(), centre.y() - 3 * unit, flag.width(), 6 * unit));
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 70), 1));
    painter.drawRect(flag.adjusted(0.5, 0.5, -0.5, -0.5));
}

void PaintLogo(QPainter& painter, double size) {
    const QRectF tile(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
    QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
    gradient.setColorAt(0, QColor(59, 84, 148));
    gradient.setColorAt(1, QColor(24, 38, 82));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(tile, size * 0.18, size * 0.18);

    // A document with a folded corner ...
    const double w = size * 0.44, h = size * 0.56, fold = size * 0.13;
    const QPointF origin(size * 0.16, size * 0.14);
    QPainterPath page;
    page.moveTo(origin);
    page.lineTo(origin.x() + w - fold, origin.y());
    page.lineTo(origin.x() + w, origin.y() + fold);
    page.lineTo(origin.x() + w, origin.y() + h);
    page.lineTo(origin.x(), origin.y() + h);
    page.closeSubpath();
    painter.setBrush(QColor(238, 242, 250));
    painter.drawPath(page);
    painter.setBrush(QColor(190, 200, 222));
    painter.drawPolygon(QPolygonF{QPointF(origin.x() + w - fold, origin.y()),
                                  QPointF(origin.x() + w - fold, origin.y() + fold),
                                  QPointF(origin.x() + w, origin.y() + fold)});
    // ... its lines of text ...
    painter.setPen(
        QPen(QColor(150, 162, 190), std::max(1.0, size * 0.025), Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 4; ++line) {
        const double y = origin.y() + fold + size * 0.06 + line * size * 0.075;
        painter.drawLine(QPointF(origin.x() + size * 0.06, y),
                         QPointF(origin.x() + w - size * 0.07, y));
    }
    // ... and a green seal with a tick: the file is intact.
    const QPointF sealCentre(size * 0.66, size * 0.66);
    const double radius = size * 0.2;
    painter.setPen(QPen(Qt::white, std::max(1.0, size * 0.03)));
    painter.setBrush(QColor(46, 160, 67));
    painter.drawEllipse(sealCentre, radius, radius);
    painter.setPen(
        QPen(Qt::white, std::max(1.5, size * 0.05), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{sealCentre + QPointF(-radius * 0.5, 0),
                                   sealCentre + QPointF(-radius * 0.12, radius * 0.4),
                                   sealCentre + QPointF(radius * 0.52, -radius * 0.38)});
    // The name of the digest, small, at the top of the page.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(size * 0.11)));
    painter.setFont(font);
    painter.setPen(QColor(24, 38, 82));
    painter.drawText(QRectF(origin.x(), origin.y() + size * 0.005, w - fold, fold), Qt::AlignCenter,
                     QStringLiteral("MD5"));
}

QPixmap Logo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintLogo(painter, size);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : kProgramIconSizes) icon.addPixmap(Logo(size));
    // The largest size twice over, for a task bar on a 2x screen.
    constexpr int kLargest = kProgramIconSizes[std::size(kProgramIconSizes) - 1];
    icon.addPixmap(Logo(2 * kLargest));
    return icon;
}

}  // namespace vorlix::artwork
