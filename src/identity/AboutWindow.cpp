#include "identity/AboutWindow.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "ui/ClickableLabel.h"
#include "ui/HyperlinkLabel.h"

namespace vorlix {

namespace {

// The window was laid out in twips; 15 of them make a pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The face the window was designed with, or a sans face that is installed.
QFont WindowFont(double points) {
    QFont font;
    const QStringList installed = QFontDatabase::families();
    // A condensed face comes closest to the narrow one the window was laid out with.
    for (const char* family :
         {"Microsoft MHei", "DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"}) {
        if (installed.contains(QLatin1String(family))) {
            font.setFamily(QLatin1String(family));
            break;
        }
    }
    font.setPointSizeF(points);
    font.setWeight(QFont::Light);
    return font;
}

template <typename Label>
Label* MakeLabel(QWidget* parent, QRect geometry, double points) {
    auto* label = new Label(parent);
    label->setGeometry(geometry);
    label->setFont(WindowFont(points));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Room kept between two texts, and from the window's edge.
constexpr int kGap = 3;
constexpr int kEdge = 8;
constexpr double kSmallestPoints = 7;

QSize TextSize(const QLabel* label) { return label->sizeHint(); }

void Shrink(QLabel* label) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

bool CanShrink(const QLabel* label) { return label->font().pointSizeF() > kSmallestPoints; }

// A one-line text in a box of its own size, made smaller until it is no
// wider than the room.
QSize FitOneLine(QLabel* label, int room) {
    while (TextSize(label).width() > room && CanShrink(label)) Shrink(label);
    return TextSize(label);
}

}  // namespace

AboutWindow::AboutWindow(const Language& language, const Clock& clock, const std::string& manualUrl,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), model_(language, clock, manualUrl) {
    setModal(true);
    setFixedSize(Px(9645), Px(4470));
    setFont(WindowFont(9.75));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    QIcon icon;
    for (int size : {32, 64, 128}) icon.addPixmap(MakerLogo(size));
    setWindowIcon(icon);

    hlblLogo = MakeLabel<HyperlinkLabel>(this, TwipsRect(600, 240, 2700, 2700), 8.25);
    hlblLogo->SetDrawing(PaintMakerLogo, Px(2700));
    lblTitle = MakeLabel<ClickableLabel>(this, TwipsRect(4080, 0, 5295, 720), 27.75);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblVersion = MakeLabel<ClickableLabel>(this, TwipsRect(4080, 720, 5295, 345), 12);
    lblBuild = MakeLabel<ClickableLabel>(this, TwipsRect(4080, 1080, 5295, 255), 12);
    lblDescription = MakeLabel<ClickableLabel>(this, TwipsRect(4080, 1440, 5385, 810), 12);
    lblDescription->setWordWrap(true);
    lblDisclaimer = MakeLabel<ClickableLabel>(this, TwipsRect(4080, 2280, 5295, 945), 12);
    lblDisclaimer->setWordWrap(true);
    lblShareTypeProgram = MakeLabel<ClickableLabel>(this, TwipsRect(1275, 3120, 1425, 390), 14.25);
    lblShareTypeProgram->setVisible(false);
    hlblSupportEmail = MakeLabel<HyperlinkLabel>(this, TwipsRect(4080, 3240, 2730, 315), 12);
    hlblURL1 = MakeLabel<HyperlinkLabel>(this, TwipsRect(1320, 3600, 630, 420), 15.75);
    hlblURL2 = MakeLabel<HyperlinkLabel>(this, TwipsRect(3000, 3635, 2415, 420), 15.75);
    hlblURL3 = MakeLabel<HyperlinkLabel>(this, TwipsRect(6840, 3630, 2235, 420), 15.75);
    // The company line outgrows its designed width in every language; it may
    // run to the right edge of the window.
    lblCompanyName =
        MakeLabel<ClickableLabel>(this, TwipsRect(4140, 4200, 9645 - 4140 - 300, 255), 9.75);

    for (ClickableLabel* label : {lblTitle, lblVersion, lblBuild, lblDescription, lblDisclaimer,
                                  lblShareTypeProgram, lblCompanyName}) {
        connect(label, &ClickableLabel::clicked, this, [this] {
            model_.Form_Click();
            CloseWhenTheModelSaysSo();
        });
    }

    tmrAutoCloseDialog = new QTimer(this);
    connect(tmrAutoCloseDialog, &QTimer::timeout, this, [this] {
        model_.tmrAutoCloseDialog_Timer();
        tmrAutoCloseDialog->stop();
        CloseWhenTheModelSaysSo();
    });

    Form_Load();
}

void AboutWindow::Form_Load() {
    model_.Form_Load();
    ApplyTexts();
    CentreOnScreen();
    CreateRoundRectFromWindow();
    tmrAutoCloseDialog->setInterval(model_.TimerInterval());
    if (model_.TimerEnabled()) tmrAutoCloseDialog->start();
}

void AboutWindow::ApplyTexts() {
    const AboutTexts& texts = model_.Texts();
    setWindowTitle(Q(texts.Caption));
    hlblLogo->SetUrl(Q(texts.hlblLogoUrl));
    // A picture that is a link is named by where it leads.
    hlblLogo->setAccessibleName(Q(texts.hlblLogoUrl));
    lblTitle->setText(Q(texts.lblTitle));
    lblVersion->setText(Q(texts.lblVersion));
    lblBuild->setText(Q(texts.lblBuild));
    lblDescription->setText(Q(texts.lblDescription));
    lblDisclaimer->setText(
        Q(texts.lblDisclaimer).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    lblShareTypeProgram->setText(Q(texts.lblShareTypeProgram));
    lblShareTypeProgram->setVisible(texts.lblShareTypeProgramVisible);
    lblCompanyName->setText(Q(texts.lblCompanyName));
    hlblSupportEmail->SetCaption(Q(texts.hlblSupportEmail));
    hlblSupportEmail->SetUrl(Q(texts.hlblSupportEmailUrl));
    hlblURL1->SetCaption(Q(texts.hlblURL1));
    hlblURL1->SetUrl(Q(texts.hlblURL1Url));
    hlblURL2->SetCaption(Q(texts.hlblURL2));
    hlblURL2->SetUrl(Q(texts.hlblURL2Url));
    hlblURL3->SetCaption(Q(texts.hlblURL3));
    hlblURL3->SetUrl(Q(texts.hlblURL3Url));
    LayOut();
}

// The texts are laid out anew for the face and language in use: the design's
// places and sizes were made for a narrower face, and with ours the licence
// line ran into the support address. Each text gets a box of its own size, no
// two boxes touch, and a font gets smaller only where the design's size does
// not fit.
void AboutWindow::LayOut() {
    const int column = lblTitle->x();
    const int right = width() - Px(180);

    // Bottom up: the company line, then the row of links above it.
    const QSize company = FitOneLine(lblCompanyName, right - Px(4140));
    lblCompanyName->setGeometry(Px(4140), height() - kGap - company.height(), company.width(),
                                company.height());
    HyperlinkLabel* const links[] = {hlblURL1, hlblURL2, hlblURL3};
    const int linkLefts[] = {Px(1320), Px(3000), Px(6840)};
    for (;;) {
        int left = 0;
        int tallest = 0;
        for (int i = 0; i < 3; ++i) {
            const QSize size = TextSize(links[i]);
            left = std::max(linkLefts[i], left);
            links[i]->setGeometry(left, 0, size.width(), size.height());
            left += size.width() + 4 * kGap;
            tallest = std::max(tallest, size.height());
        }
        const int top = std::min(Px(3600), lblCompanyName->y() - kGap - tallest);
        for (HyperlinkLabel* link : links) link->move(link->x(), top);
        if (hlblURL3->geometry().right() <= right || !CanShrink(hlblURL3)) break;
        for (HyperlinkLabel* link : links) Shrink(link);
    }
    const int linksTop = hlblURL1->y();

    // Under the logo and centred on it: the program type, then the support address.
    const int logoCentre = hlblLogo->geometry().center().x();
    const int leftRoom = 2 * std::min(logoCentre - kEdge, column - kGap - logoCentre);
    int top = hlblLogo->geometry().bottom() + 1 + kGap;
    for (QLabel* label :
         {static_cast<QLabel*>(lblShareTypeProgram), static_cast<QLabel*>(hlblSupportEmail)}) {
        if (label->isHidden()) continue;
        const QSize size = FitOneLine(label, leftRoom);
        label->setGeometry(logoCentre - size.width() / 2, top, size.width(), size.height());
        top += size.height() + kGap;
    }
    // Too low for the links: the logo moves up as far as the edge allows.
    const int overlap = top - linksTop;
    if (overlap > 0) {
        const int lift = std::min(overlap, hlblLogo->y() - kGap);
        for (QLabel* label :
             {static_cast<QLabel*>(hlblLogo), static_cast<QLabel*>(lblShareTypeProgram),
              static_cast<QLabel*>(hlblSupportEmail)}) {
            label->move(label->x(), label->y() - lift);
        }
    }

    // The column beside the logo, top down, ending above the links. The two
    // texts that wrap give way first; the short ones keep their size.
    const int columnWidth = right - column;
    for (;;) {
        int y = 0;
        for (QLabel* label : {static_cast<QLabel*>(lblTitle), static_cast<QLabel*>(lblVersion),
                              static_cast<QLabel*>(lblBuild), static_cast<QLabel*>(lblDescription),
                              static_cast<QLabel*>(lblDisclaimer)}) {
            QSize size;
            if (label->wordWrap()) {
                size = QSize(columnWidth, label->heightForWidth(columnWidth));
            } else {
                size = FitOneLine(label, columnWidth);
            }
            if (label == lblTitle) size.setHeight(std::max(size.height(), Px(720)));
            label->setGeometry(column, y, size.width(), size.height());
            y += size.height() + kGap;
        }
        if (lblDisclaimer->geometry().bottom() + kGap < linksTop || !CanShrink(lblDisclaimer))
            break;
        Shrink(lblDescription);
        Shrink(lblDisclaimer);
    }
}

void AboutWindow::CentreOnScreen() {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void AboutWindow::CreateRoundRectFromWindow() {
    // The corners are 75 pixels of the screen, whatever the scaling.
    const double ellipse = AboutModel::kCornerEllipsePixels / devicePixelRatioF();
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, width(), height()), ellipse / 2, ellipse / 2);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void AboutWindow::showEvent(QShowEvent* event) {
    // The screen and its scaling are known for certain only once shown.
    CreateRoundRectFromWindow();
    QDialog::showEvent(event);
}

void AboutWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // shpShapeAbout: a thin outline that follows the rounded edge.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1.5));
    const double radius = AboutModel::kCornerEllipsePixels / devicePixelRatioF() / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius, radius);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        model_.Form_Click();
        CloseWhenTheModelSaysSo();
    }
    event->accept();
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    // Only Escape closes; Enter and the rest must not reach QDialog, which
    // would take them as an answer.
    model_.Form_KeyDown(event->key() == Qt::Key_Escape ? AboutModel::kEscapeKeyCode : 0);
    CloseWhenTheModelSaysSo();
    event->accept();
}

void AboutWindow::CloseWhenTheModelSaysSo() {
    if (!model_.Closed()) return;
    tmrAutoCloseDialog->stop();
    accept();
}

QPixmap AboutWindow::MakerLogo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintMakerLogo(painter, size);
    return pixmap;
}

void AboutWindow::PaintMakerLogo(QPainter& painter, double size) {
    // A ring in the program's blue ...
    const QPointF centre(size / 2.0, size / 2.0);
    const double outer = size * 0.46;
    QLinearGradient ring(0, 0, size, size);
    ring.setColorAt(0, QColor(84, 112, 186));
    ring.setColorAt(1, QColor(24, 38, 82));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(centre, outer, outer);
    painter.setBrush(QColor(246, 248, 252));
    painter.drawEllipse(centre, outer * 0.8, outer * 0.8);

    // ... holding a bold V whose right stroke runs on like a tick.
    QPainterPath mark;
    mark.moveTo(size * 0.31, size * 0.30);
    mark.lineTo(size * 0.47, size * 0.58);
    mark.lineTo(size * 0.71, size * 0.24);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor(46, 160, 67), size * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(mark);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(size / 11)));
    painter.setFont(font);
    painter.setPen(QColor(24, 38, 82));
    painter.drawText(QRectF(0, size * 0.62, size, size * 0.12), Qt::AlignCenter,
                     QStringLiteral("VORLIX"));
}

}  // namespace vorlix
