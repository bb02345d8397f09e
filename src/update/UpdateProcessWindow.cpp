#include "update/UpdateProcessWindow.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace vorlix {
namespace {

// Designed in twips, 15 to a pixel.
constexpr int Px(int twips) { return twips / 15; }
constexpr int kClientWidth = 6450;
constexpr int kClientHeight = 540;
// Room the window keeps beside its label.
constexpr int kWidthBesideLabel = 1200;

QFont CaptionFont() {
    QFont font;
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"Microsoft MHei", "DejaVu Sans", "Liberation Sans"}) {
        if (installed.contains(QLatin1String(family))) {
            font.setFamily(QLatin1String(family));
            break;
        }
    }
    font.setPointSize(12);
    font.setWeight(QFont::Light);
    return font;
}

}  // namespace

UpdateProcessWindow::UpdateProcessWindow(UpdateProcessModel& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), model_(model) {
    setModal(true);
    setWindowTitle(QString::fromStdString(model_.Caption()));
    setFixedSize(Px(kClientWidth), Px(kClientHeight));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(59, 84, 148));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    lblCaption = new QLabel(QString::fromStdString(model_.lblCaption()), this);
    lblCaption->setFont(CaptionFont());
    lblCaption->setGeometry(Px(480), Px(120), Px(765), Px(315));

    tmrCheckUpdates = new QTimer(this);
    tmrCheckUpdates->setSingleShot(true);
    connect(tmrCheckUpdates, &QTimer::timeout, this, [this] { model_.tmrCheckUpdates_Timer(); });

    model_.SetView(this);
}

UpdateProcessWindow::~UpdateProcessWindow() {
    model_.SetView(nullptr);
    model_.Form_Unload();
}

void UpdateProcessWindow::Run() {
    model_.Form_Load();
    if (model_.Unloaded()) return;
    tmrCheckUpdates->setInterval(model_.TimerInterval());
    if (model_.TimerEnabled()) tmrCheckUpdates->start();
    exec();
}

void UpdateProcessWindow::LabelsChanged() {
    setWindowTitle(QString::fromStdString(model_.Caption()));
    lblCaption->setText(QString::fromStdString(model_.lblCaption()));
    // The label fits its caption; the window follows the label. The window is
    // centred at its designed width and keeps its left edge when it grows.
    lblCaption->adjustSize();
    lblCaption->move(Px(480), Px(120));
    CentreOnScreen();
    setFixedWidth(lblCaption->width() + Px(kWidthBesideLabel));
}

void UpdateProcessWindow::CentreOnScreen() {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - Px(kClientWidth)) / 2,
         area.y() + (area.height() - height()) / 2);
}

void UpdateProcessWindow::Unload() {
    tmrCheckUpdates->stop();
    if (isVisible()) QDialog::done(Accepted);
    hide();
}

void UpdateProcessWindow::done(int result) {
    // Closed by the user or by the check: either way no local copy stays.
    tmrCheckUpdates->stop();
    model_.Form_Unload();
    QDialog::done(result);
}

}  // namespace vorlix
