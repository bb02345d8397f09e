#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/Artwork.h"
#include "app/QtDigestRunner.h"
#include "identity/AboutWindow.h"
#include "language/Language.h"
#include "settings/OptionsWindow.h"
#include "ui/HyperlinkLabel.h"
#include "ui/Links.h"
#include "update/UpdateProcessWindow.h"

namespace vorlix {
namespace {

// Positions and sizes are designed in twips, 15 to a pixel.
constexpr int Px(int twips) { return twips / 15; }

QRect Twips(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// The name a screen reader gives a box: its caption without the colon.
QString Spoken(QString caption) {
    caption.remove(QLatin1Char('&'));
    while (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption.trimmed();
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont Sized(const QFont& base, double points) {
    QFont font = base;
    font.setPointSizeF(points);
    return font;
}

}  // namespace

// The window's area under the menu. At its designed size every control sits
// where it was designed; a larger window widens the path, size and digest
// boxes, and what sits right of them or at the bottom moves along.
class DesignedArea final : public QWidget {
  public:
    enum class Across { Left, Centre, Right, Stretch };
    enum class Down { Top, Bottom };

    explicit DesignedArea(QWidget* parent) : QWidget(parent) { setMinimumSize(kSize); }

    QSize sizeHint() const override { return kSize + QSize(0, extra_); }

    // Room added under the designed controls; what stands at the bottom
    // stays that much lower.
    int ExtraHeight() const { return extra_; }
    void SetExtraHeight(int extra) {
        extra_ = extra;
        setMinimumSize(kSize + QSize(0, extra));
        Arrange();
    }

    void Place(QWidget* widget, QRect designed, Across across = Across::Left,
               Down down = Down::Top) {
        placed_.push_back({widget, designed, across, down});
        Arrange();
    }
    QRect Designed(QWidget* widget) const { return Find(widget)->designed; }
    void Redesign(QWidget* widget, QRect designed) {
        Find(widget)->designed = designed;
        Arrange();
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        Arrange();
    }

  private:
    static constexpr QSize kSize{Px(10440), Px(7320)};

    struct Placed {
        QWidget* widget;
        QRect designed;
        Across across;
        Down down;
    };

    // Only placed widgets are asked about.
    std::vector<Placed>::const_iterator Find(QWidget* widget) const {
        return std::find_if(placed_.begin(), placed_.end(),
                            [widget](const Placed& placed) { return placed.widget == widget; });
    }
    std::vector<Placed>::iterator Find(QWidget* widget) {
        return std::find_if(placed_.begin(), placed_.end(),
                            [widget](const Placed& placed) { return placed.widget == widget; });
    }

    void Arrange() {
        const int wider = std::max(0, width() - kSize.width());
        const int taller = std::max(0, height() - kSize.height() - extra_) + extra_;
        for (const Placed& placed : placed_) {
            QRect at = placed.designed;
            switch (placed.across) {
                case Across::Left:
                    break;
                case Across::Centre:
                    at.translate(wider / 2, 0);
                    break;
                case Across::Right:
                    at.translate(wider, 0);
                    break;
                case Across::Stretch:
                    at.setWidth(at.width() + wider);
                    break;
            }
            if (placed.down == Down::Bottom) at.translate(0, taller);
            placed.widget->setGeometry(at);
        }
    }

    std::vector<Placed> placed_;
    int extra_ = 0;
};

// Where the fields of the other digests start: under the exit button.
constexpr int kOtherDigestsTop = 5640;

MainWindow::MainWindow(MainWindowModel& model, const Language& language, const Clock& clock,
                       QWidget* parent)
    : QMainWindow(parent), model_(model), language_(language), clock_(clock) {
    setWindowTitle(QStringLiteral("Vorlix"));
    setWindowIcon(artwork::ProgramIcon());
    BuildControls();
    BuildMenu();
    // Files dropped anywhere on the window, the path box included, go to the model.
    setAcceptDrops(true);
    txtPathAndFileName->setAcceptDrops(false);
    model_.SetView(this);
    model_.SetDecimalSeparator(DesktopDecimalSeparator());
    StateChanged();
}

void MainWindow::BuildControls() {
    using Across = DesignedArea::Across;
    using Down = DesignedArea::Down;
    area_ = new DesignedArea(this);
    setCentralWidget(area_);
    QWidget* client = area_;
    const QFont base = Sized(font(), 12);
    client->setFont(base);

    hrlTWHomePage = new HyperlinkLabel(client);
    hrlTWHomePage->SetCaption(QString::fromLatin1(links::kHomePage)
                                  .remove(QStringLiteral("https://"))
                                  .remove(QLatin1Char('/')));
    hrlTWHomePage->SetUrl(QString::fromLatin1(links::kHomePage));
    hrlTWHomePage->setToolTip(QStringLiteral("Web Homepage"));
    hrlTWHomePage->setAccessibleDescription(QString::fromLatin1(links::kHomePage));
    area_->Place(hrlTWHomePage, Twips(240, 120, 2265, 315));

    Label1 = new QLabel(QStringLiteral("Vorlix"), client);
    Label1->setFont(Sized(base, 27.75));
    Label1->setAlignment(Qt::AlignCenter);
    area_->Place(Label1, Twips(3480, 120, 3690, 735), Across::Centre);

    hrlOnLineHelp = new HyperlinkLabel(client);
    hrlOnLineHelp->setToolTip(QStringLiteral("On-line manual"));
    hrlOnLineHelp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    area_->Place(hrlOnLineHelp, Twips(8520 - 1200, 120, 1650 + 1200, 315), Across::Right);

    const auto flag = [&](PictureLabel::Drawing drawing, const QString& language, int left) {
        auto* label = new ClickableLabel(client);
        label->SetDrawing(std::move(drawing), Px(360));
        label->setToolTip(language);
        // The language's own name, as the flag's tip says it.
        label->setAccessibleName(language);
        label->setCursor(Qt::PointingHandCursor);
        area_->Place(label, Twips(left, 480, 360, 360));
        return label;
    };
    igbCzechFlag = flag(artwork::PaintCzechFlag, QStringLiteral("Čeština"), 480);
    igbEnglishFlag = flag(artwork::PaintEnglishFlag, QStringLiteral("English"), 1080);

    txtPathAndFileName = new QLineEdit(client);
    txtPathAndFileName->setToolTip(QStringLiteral("Cesta a název souboru"));
    area_->Place(txtPathAndFileName, Twips(1680, 1350, 7455, 405), Across::Stretch);

    cmdSelectFile = new QPushButton(QStringLiteral(". . ."), client);
    cmdSelectFile->setToolTip(QStringLiteral("Výběr souboru"));
    area_->Place(cmdSelectFile, Twips(9360, 1320, 615, 495), Across::Right);

    lblFileSource = new QLabel(client);
    lblFileSource->setBuddy(txtPathAndFileName);
    area_->Place(lblFileSource, Twips(480, 1440, 1155, 315));

    cmndCalculate = new QPushButton(client);
    area_->Place(cmndCalculate, Twips(8160, 2040, 1815, 495), Across::Right);

    txtFileSize = new QLineEdit(client);
    txtFileSize->setReadOnly(true);
    txtFileSize->setToolTip(QStringLiteral("Velikost souboru"));
    area_->Place(txtFileSize, Twips(1680, 2880, 7455, 405), Across::Stretch);

    lblFileSize = new QLabel(client);
    lblFileSize->setBuddy(txtFileSize);
    area_->Place(lblFileSize, Twips(480, 3000, 1155, 315));

    txtMD5Result = new QLineEdit(client);
    txtMD5Result->setReadOnly(true);
    area_->Place(txtMD5Result, Twips(1680, 3480, 7455, 405), Across::Stretch);

    lblMD5Result = new QLabel(QStringLiteral("MD5:"), client);
    lblMD5Result->setBuddy(txtMD5Result);
    area_->Place(lblMD5Result, Twips(840, 3600, 795, 315));

    cndSaveMD5File = new QPushButton(client);
    area_->Place(cndSaveMD5File, Twips(8160, 4200, 1815, 495), Across::Right);

    lblTimeOperate = new QLabel(client);
    area_->Place(lblTimeOperate, Twips(1680, 4680, 1305, 315));

    txtTimeOperate = new QLabel(client);
    txtTimeOperate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    area_->Place(txtTimeOperate, Twips(3120, 4680, 2925, 345));

    cmdEndProgram = new QPushButton(client);
    area_->Place(cmdEndProgram, Twips(8160, 5040, 1815, 495), Across::Right);

    picLogoMD5 = new PictureLabel(client);
    picLogoMD5->SetDrawing(artwork::PaintLogo, Px(1365));
    picLogoMD5->setAccessibleName(QStringLiteral("Vorlix"));
    area_->Place(picLogoMD5, Twips(8880, 5760, 1365, 1365), Across::Right, Down::Bottom);

    lblVersionInfo = new ClickableLabel(client);
    lblVersionInfo->setFont(Sized(base, 9.75));
    lblVersionInfo->setToolTip(QStringLiteral("Po kliknutí se informace zkopíruje do schránky"));
    lblVersionInfo->setCursor(Qt::PointingHandCursor);
    area_->Place(lblVersionInfo, Twips(240, 6840, 8400, 255), Across::Stretch, Down::Bottom);

    // Below the time taken and the buttons: the labels end where MD5's does,
    // the fields line up with its box.
    otherDigests_ = new QWidget(client);
    auto* grid = new QGridLayout(otherDigests_);
    grid->setContentsMargins(Px(240), 0, Px(10440 - 9135), 0);
    grid->setHorizontalSpacing(Px(45));
    grid->setVerticalSpacing(Px(75));
    grid->setColumnMinimumWidth(0, Px(1635 - 240));
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (algorithm == DigestAlgorithm::Md5) continue;
        const auto i = static_cast<std::size_t>(algorithm);
        txtOtherDigests[i] = new QLineEdit(otherDigests_);
        txtOtherDigests[i]->setReadOnly(true);
        lblOtherDigests[i] = new QLabel(
            QString::fromStdString(std::string(DisplayName(algorithm)) + ":"), otherDigests_);
        lblOtherDigests[i]->setBuddy(txtOtherDigests[i]);
        lblOtherDigests[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(lblOtherDigests[i], static_cast<int>(i), 0);
        grid->addWidget(txtOtherDigests[i], static_cast<int>(i), 1);
        txtOtherDigests[i]->installEventFilter(this);
    }
    lblPublished = new QLabel(otherDigests_);
    lblPublished->setWordWrap(true);
    grid->addWidget(lblPublished, static_cast<int>(kDigestAlgorithmCount), 1);
    otherDigests_->hide();
    area_->Place(otherDigests_, Twips(0, kOtherDigestsTop, 10440, 0), Across::Stretch);

    // The keyboard walks the boxes first, then the buttons; after them the
    // flags, the links and the version text, which take Enter as a click.
    const QList<QWidget*> order{txtPathAndFileName, txtMD5Result,   txtFileSize,   cmdSelectFile,
                                cmndCalculate,      cndSaveMD5File, cmdEndProgram, igbCzechFlag,
                                igbEnglishFlag,     hrlTWHomePage,  hrlOnLineHelp, lblVersionInfo};
    for (QWidget* widget :
         {static_cast<QWidget*>(igbCzechFlag), static_cast<QWidget*>(igbEnglishFlag),
          static_cast<QWidget*>(hrlTWHomePage), static_cast<QWidget*>(hrlOnLineHelp),
          static_cast<QWidget*>(lblVersionInfo)})
        widget->setFocusPolicy(Qt::TabFocus);
    for (QWidget* widget : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(picLogoMD5)})
        widget->setFocusPolicy(Qt::NoFocus);
    for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
    for (QLineEdit* box : {txtPathAndFileName, txtMD5Result, txtFileSize})
        box->installEventFilter(this);

    connect(cmdSelectFile, &QPushButton::clicked, this, [this] { model_.cmdSelectFile_Click(); });
    connect(txtPathAndFileName, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.txtPathAndFileName_Change(text.toStdString()); });
    connect(cmndCalculate, &QPushButton::clicked, this, [this] { model_.cmndCalculate_Click(); });
    // Enter in the path box is the quick way to the button beside it.
    connect(txtPathAndFileName, &QLineEdit::returnPressed, this, [this] {
        if (cmndCalculate->isEnabled()) model_.cmndCalculate_Click();
    });
    connect(cndSaveMD5File, &QPushButton::clicked, this, [this] { model_.cndSaveMD5File_Click(); });
    connect(cmdEndProgram, &QPushButton::clicked, this, [this] { model_.cmdEndProgram_Click(); });
    connect(igbCzechFlag, &ClickableLabel::clicked, this, [this] { model_.igbCzechFlag_Click(); });
    connect(igbEnglishFlag, &ClickableLabel::clicked, this,
            [this] { model_.igbEnglishFlag_Click(); });
    connect(lblVersionInfo, &ClickableLabel::clicked, this,
            [this] { model_.lblVersionInfo_Click(); });
}

void MainWindow::BuildMenu() {
    mnuFile = menuBar()->addMenu(QString());
    mnuFile_OpenFile =
        mnuFile->addAction(QString(), this, [this] { model_.mnuFile_OpenFile_Click(); });
    mnuFile_OpenFileMD5 =
        mnuFile->addAction(QString(), this, [this] { model_.mnuFile_OpenFileMD5_Click(); });
    mnuFile_FolderMD5 =
        mnuFile->addAction(QString(), this, [this] { model_.mnuFile_FolderMD5_Click(); });
    mnuFile_CompareDigest =
        mnuFile->addAction(QString(), this, [this] { model_.mnuFile_CompareDigest_Click(); });
    mnuFile_CompareDigest->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    // The keys desktop users try first, beside the designed access keys.
    mnuFile_OpenFileMD5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFile->addSeparator();
    mnuFile_ExitProgram =
        mnuFile->addAction(QString(), this, [this] { model_.mnuFile_ExitProgram_Click(); });
    mnuFile_ExitProgram->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuOptions = menuBar()->addMenu(QString());
    mnuOptions_Options =
        mnuOptions->addAction(QString(), this, [this] { model_.mnuOptions_Options_Click(); });
    mnuAbout = menuBar()->addMenu(QString());
    mnuAbout_Help = mnuAbout->addAction(QString(), this, [this] { model_.mnuAbout_Help_Click(); });
    mnuAbout_Help->setShortcut(QKeySequence(Qt::Key_F1));
    mnuAbout_TestActualProg =
        mnuAbout->addAction(QString(), this, [this] { model_.mnuAbout_TestActualProg_Click(); });
    mnuAbout_About =
        mnuAbout->addAction(QString(), this, [this] { model_.mnuAbout_About_Click(); });
    // Copying the digest needs no menu entry; the keys work anywhere in the window.
    actCopyDigest = new QAction(this);
    actCopyDigest->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(actCopyDigest, &QAction::triggered, this, [this] { model_.CopyDigest(); });
    addAction(actCopyDigest);
}

void MainWindow::StateChanged() {
    const MainWindowState& state = model_.State();
    if (txtPathAndFileName->text() != Q(state.txtPathAndFileName))
        txtPathAndFileName->setText(Q(state.txtPathAndFileName));
    txtMD5Result->setText(Q(state.txtMD5Result));
    // Colours through the palette: a style sheet would take the box's font
    // away with it.
    txtMD5Result->setPalette(MarkedColours(state, DigestAlgorithm::Md5));
    ShowOtherDigests(state);
    txtFileSize->setText(Q(state.txtFileSize));
    txtTimeOperate->setText(Q(state.txtTimeOperate));
    cmndCalculate->setEnabled(state.cmndCalculateEnabled);
    cndSaveMD5File->setEnabled(state.cndSaveMD5FileEnabled);
    cmdEndProgram->setVisible(state.cmdEndProgramVisible);
    lblVersionInfo->setText(Q(state.lblVersionInfo));
    hrlOnLineHelp->SetUrl(Q(state.onLineHelpUrl));

    const MainWindowLabels& labels = state.labels;
    hrlOnLineHelp->SetCaption(Q(labels.hrlOnLineHelp));
    lblFileSource->setText(Q(labels.lblFileSource));
    cmndCalculate->setText(Q(labels.cmndCalculate));
    lblFileSize->setText(Q(labels.lblFileSize));
    cndSaveMD5File->setText(Q(labels.cndSaveMD5File));
    lblTimeOperate->setText(Q(labels.lblTimeOperate));
    cmdEndProgram->setText(Q(labels.cmdEndProgram));
    mnuFile->setTitle(Q(labels.mnuFile));
    mnuFile_OpenFile->setText(Q(labels.mnuFile_OpenFile));
    mnuFile_OpenFileMD5->setText(Q(labels.mnuFile_OpenFileMD5));
    mnuFile_FolderMD5->setText(Q(labels.mnuFile_FolderMD5));
    mnuFile_CompareDigest->setText(Q(labels.mnuFile_CompareDigest));
    mnuFile_ExitProgram->setText(Q(labels.mnuFile_ExitProgram));
    mnuOptions->setTitle(Q(labels.mnuOptions));
    mnuOptions_Options->setText(Q(labels.mnuOptions_Options));
    mnuAbout->setTitle(Q(labels.mnuAbout));
    mnuAbout_Help->setText(Q(labels.mnuAbout_Help));
    mnuAbout_TestActualProg->setText(Q(labels.mnuAbout_TestActualProg));
    mnuAbout_TestActualProg->setEnabled(state.mnuAbout_TestActualProgEnabled);
    mnuAbout_About->setText(Q(labels.mnuAbout_About));

    // Captions keep their designed place; one that needs more room than
    // designed grows to the right, and the time moves along rather than
    // running under it.
    for (QLabel* caption : {lblFileSource, lblFileSize, lblTimeOperate}) {
        QRect designed = area_->Designed(caption);
        designed.setWidth(std::max(designed.width(), caption->sizeHint().width()));
        area_->Redesign(caption, designed);
    }
    QRect time = area_->Designed(txtTimeOperate);
    time.moveLeft(std::max(Px(3120), area_->Designed(lblTimeOperate).right() + 1 + Px(120)));
    area_->Redesign(txtTimeOperate, time);

    // What a screen reader says for each box, in the language in force.
    txtPathAndFileName->setAccessibleName(Spoken(lblFileSource->text()));
    txtFileSize->setAccessibleName(Spoken(lblFileSize->text()));
    txtMD5Result->setAccessibleName(Spoken(lblMD5Result->text()));
    txtTimeOperate->setAccessibleName(Spoken(lblTimeOperate->text()));
    // ". . ." says nothing aloud; the title of the dialog it opens does.
    if (language_.IsLoaded())
        cmdSelectFile->setAccessibleName(Q(language_.GetLabel("frmVorlix", "cmdlgTitle")));
}

void MainWindow::CentreOnScreen() {
    adjustSize();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(available.left() + (available.width() - size.width()) / 2,
         available.top() + (available.height() - size.height()) / 2);
}

void MainWindow::PutOnClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(Q(text));
}

void MainWindow::ShowAbout() {
    AboutWindow about(language_, clock_, model_.State().onLineHelpUrl, this);
    about.exec();
}

void MainWindow::ShowUpdateProcess(UpdateProcessModel& process) {
    UpdateProcessWindow window(process, this);
    window.Run();
}

std::optional<std::string> MainWindow::ClipboardText() {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> MainWindow::AskText(const std::string& prompt,
                                               const std::string& caption) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto* box = dialog.findChild<QLineEdit*>()) {
        // Digits of one width, at the dialog's size: long digests read and fit best.
        QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        digits.setPointSizeF(box->font().pointSizeF());
        box->setFont(digits);
        // Room for the longest digest anyone publishes (SHA-512's 128
        // digits), so a wrong one pasted shows whole, as far as the screen
        // allows.
        const int longest = box->fontMetrics().horizontalAdvance(QString(128, QLatin1Char('0'))) +
                            2 * box->fontMetrics().averageCharWidth();
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const int room = screen ? screen->availableGeometry().width() * 9 / 10 : longest;
        box->setMinimumWidth(std::min(longest, room));
    }
    // The caption whole in the title bar, beside the system's buttons.
    dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(Q(caption)) + 160);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::string> MainWindow::ChooseFolder(const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(this, Q(title));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

namespace {

std::vector<std::string> LocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    // The drop source waits for this to return; the work starts right after.
    QTimer::singleShot(0, this, [this, paths] { model_.DropItems(paths); });
}

void MainWindow::ShowOptions(OptionsWindowModel& window) {
    OptionsWindow options(window, this);
    options.exec();
}

QPalette MainWindow::MarkedColours(const MainWindowState& state, DigestAlgorithm algorithm) const {
    // The compare command's verdict, or else that of a file beside.
    DigestComparison mark = DigestComparison::None;
    if (state.digestComparison != DigestComparison::None) {
        if (state.comparedAlgorithm == algorithm) mark = state.digestComparison;
    } else if (state.published && state.published->algorithm == algorithm) {
        mark = state.published->match ? DigestComparison::Match : DigestComparison::Mismatch;
    }
    QPalette colours = txtMD5Result->parentWidget()->palette();
    switch (mark) {
        case DigestComparison::None:
            return QPalette();  // the window's own again
        case DigestComparison::Match:
            colours.setColor(QPalette::Base, QColor(0xc6, 0xef, 0xce));
            colours.setColor(QPalette::Text, QColor(0x00, 0x61, 0x00));
            break;
        case DigestComparison::Mismatch:
            colours.setColor(QPalette::Base, QColor(0xff, 0xc7, 0xce));
            colours.setColor(QPalette::Text, QColor(0x9c, 0x00, 0x06));
            break;
    }
    return colours;
}

void MainWindow::ShowOtherDigests(const MainWindowState& state) {
    bool any = false;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (algorithm == DigestAlgorithm::Md5) continue;
        const auto i = static_cast<std::size_t>(algorithm);
        const std::string text(TextOf(state.otherDigests, algorithm));
        txtOtherDigests[i]->setText(Q(text));
        txtOtherDigests[i]->setCursorPosition(0);
        txtOtherDigests[i]->setPalette(MarkedColours(state, algorithm));
        txtOtherDigests[i]->setVisible(!text.empty());
        lblOtherDigests[i]->setVisible(!text.empty());
        any |= !text.empty();
    }
    const std::string published = PublishedText(state);
    lblPublished->setText(Q(published));
    lblPublished->setVisible(!published.empty());
    any |= !published.empty();
    if (any == otherDigests_->isVisible()) return;
    // The window grows by the fields' height to show them, and gives the
    // room back when they go.
    // The window grows by the fields' height, and what stands at its bottom
    // moves down by as much; it gives the room back when they go.
    const int before = this->height();
    otherDigests_->setVisible(any);
    const int height = any ? otherDigests_->sizeHint().height() : 0;
    QRect designed = area_->Designed(otherDigests_);
    designed.setHeight(height);
    area_->Redesign(otherDigests_, designed);
    const int grown = height - area_->ExtraHeight();
    area_->SetExtraHeight(height);
    // The window's own minimum follows before it may shrink.
    layout()->activate();
    resize(width(), before + grown);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Select after the click that gave the focus has placed its cursor.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vorlix
