#pragma once

#include <QDialog>
#include <string>

#include "identity/AboutModel.h"

class QLabel;
class QPainter;
class QTimer;

namespace vorlix {

class Clock;
class ClickableLabel;
class HyperlinkLabel;
class Language;

// The About window frmAbout: frameless, rounded, centred on the screen; it
// closes on a click, on Escape or by itself after 20 seconds. Show it with
// exec(); it loads anew every time it is created.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const Language& language, const Clock& clock, const std::string& manualUrl,
                QWidget* parent = nullptr);

    const AboutModel& Model() const { return model_; }

    // Controls, for tests.
    QTimer* tmrAutoCloseDialog = nullptr;
    HyperlinkLabel* hlblLogo = nullptr;
    ClickableLabel* lblTitle = nullptr;
    ClickableLabel* lblVersion = nullptr;
    ClickableLabel* lblBuild = nullptr;
    ClickableLabel* lblDescription = nullptr;
    ClickableLabel* lblDisclaimer = nullptr;
    ClickableLabel* lblShareTypeProgram = nullptr;
    HyperlinkLabel* hlblSupportEmail = nullptr;
    HyperlinkLabel* hlblURL1 = nullptr;
    HyperlinkLabel* hlblURL2 = nullptr;
    HyperlinkLabel* hlblURL3 = nullptr;
    ClickableLabel* lblCompanyName = nullptr;

    // The maker's logo, drawn.
    static QPixmap MakerLogo(int size);
    // The logo as the window shows it, drawn for the screen (PictureLabel::Drawing).
    static void PaintMakerLogo(QPainter& painter, double size);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Load();
    void ApplyTexts();
    void LayOut();
    void CentreOnScreen();
    void CreateRoundRectFromWindow();
    void CloseWhenTheModelSaysSo();

    AboutModel model_;
};

}  // namespace vorlix
