#include "ui/EmergencyHelpWindow.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QStringList>

#include "ui/EmergencyHelp.h"

namespace vorlix {
namespace {

// The layout is kept in twips, as designed, and turned into pixels at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) { return twips / kTwipsPerPixel; }

const QColor kBackground(59, 84, 148);

QFont MessageFont() {
    QFont font;
    // The face the window was designed with is rarely installed on Linux.
    QStringList families;
    if (QFontDatabase::hasFamily(QStringLiteral("Microsoft MHei"))) {
        families << QStringLiteral("Microsoft MHei");
    }
    families << QStringLiteral("DejaVu Sans") << QStringLiteral("Sans Serif");
    font.setFamilies(families);
    font.setPointSize(12);
    font.setWeight(QFont::Light);
    return font;
}

// A white warning sign on the window's blue, so the icon says what the window is.
QIcon WarningIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBackground);
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);

        const double margin = size / 8.0;
        QPainterPath triangle;
        triangle.moveTo(size / 2.0, margin);
        triangle.lineTo(size - margin, size - margin * 1.5);
        triangle.lineTo(margin, size - margin * 1.5);
        triangle.closeSubpath();
        painter.setBrush(Qt::white);
        painter.drawPath(triangle);

        painter.setBrush(kBackground);
        const double bar = size / 10.0;
        painter.drawRect(QRectF(size / 2.0 - bar / 2, size * 0.38, bar, size * 0.25));
        painter.drawEllipse(QPointF(size / 2.0, size * 0.71), bar * 0.6, bar * 0.6);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

EmergencyHelpWindow::EmergencyHelpWindow(const std::string& caption, const std::string& text,
                                         QWidget* parent)
    : QDialog(parent),
      txbWarningTest_(new QPlainTextEdit(this)),
      cmdOK_(new QPushButton(QStringLiteral("&OK"), this)) {
    setObjectName(QStringLiteral("frmEmergencyHelp"));
    setWindowTitle(QString::fromStdString(caption));
    setWindowIcon(WarningIcon());
    setModal(true);
    setFixedSize(Px(6615), Px(3150));

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kBackground);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    txbWarningTest_->setObjectName(QStringLiteral("txbWarningTest"));
    txbWarningTest_->setGeometry(Px(240), Px(120), Px(6135), Px(2295));
    txbWarningTest_->setReadOnly(true);
    txbWarningTest_->setFrameShape(QFrame::NoFrame);
    txbWarningTest_->setFont(MessageFont());
    txbWarningTest_->setFocusPolicy(Qt::ClickFocus);
    txbWarningTest_->setAccessibleName(QString::fromStdString(caption));
    QPalette textPalette = txbWarningTest_->palette();
    textPalette.setColor(QPalette::Base, kBackground);
    textPalette.setColor(QPalette::Text, Qt::white);
    txbWarningTest_->setPalette(textPalette);
    // The texts break lines with CR LF; the text box wants LF alone.
    txbWarningTest_->setPlainText(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(Px(4680), Px(2520), Px(1815), Px(495));
    cmdOK_->setDefault(true);
    cmdOK_->setFocus();
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        PlaceOn(screen->availableGeometry());
    }
}

void EmergencyHelpWindow::PlaceOn(const QRect& screenArea) {
    const WindowBox place = EmergencyHelpPlace(
        {screenArea.x(), screenArea.y(), screenArea.width(), screenArea.height()}, width(),
        height());
    // Once moved, Qt leaves the place alone when the window is shown.
    move(place.left, place.top);
}

void EmergencyHelpWindow::ShowModal(const std::string& caption, const std::string& text) {
    EmergencyHelpWindow window(caption, text);
    window.exec();
}

}  // namespace vorlix
