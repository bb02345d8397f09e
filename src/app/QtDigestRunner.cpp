#include "app/QtDigestRunner.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "digest/DigestProgress.h"

namespace vorlix {

char DesktopDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    // The texts that carry it are built byte by byte; a separator outside
    // ASCII is rare enough to fall back to the point.
    if (point.size() == 1 && point.front().unicode() < 0x80) return point.front().toLatin1();
    return '.';
}

FileDigestResult RunDigestWithProgress(QWidget* window, const std::string& path,
                                       DigestSet algorithms, const QString& cancelCaption,
                                       char decimalSeparator) {
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    std::atomic<bool> finished{false};
    FileDigestResult result;
    QEventLoop loop;

    const auto started = std::chrono::steady_clock::now();
    std::thread worker([&] {
        result = ComputeFileDigest(
            path,
            [&](std::uint64_t bytesDone, std::uint64_t bytesTotal) {
                done.store(bytesDone, std::memory_order_relaxed);
                total.store(bytesTotal, std::memory_order_relaxed);
            },
            &cancel, FileKind::RegularOrBlockDevice, algorithms);
        finished.store(true);
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });

    // Most digests end well within the delay: no dialog flashes up for them,
    // and no user input reaches the window meanwhile.
    QTimer delay;
    delay.setSingleShot(true);
    QObject::connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
    delay.start(kProgressDelay);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished.load()) {
        // A modal dialog that is not minimised nor maximised; closing it cancels.
        QProgressDialog dialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                           Qt::WindowCloseButtonHint);
        dialog.setWindowTitle(QStringLiteral("Vorlix \u2013 ") +
                              QFileInfo(QString::fromStdString(path)).fileName());
        // The label carries the percentage with the speed; a second one on
        // the bar, rounded differently, would disagree with it.
        auto* bar = new QProgressBar(&dialog);
        bar->setTextVisible(false);
        dialog.setBar(bar);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setCancelButtonText(cancelCaption);
        dialog.setRange(0, 1000);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumWidth(360);
        QObject::connect(&dialog, &QProgressDialog::canceled, [&] { cancel.store(true); });

        QTimer poll;
        const auto update = [&] {
            // Cancelled one way or another: stop here, or setValue would show
            // the dialog again while the digest winds down.
            if (dialog.wasCanceled()) cancel.store(true);
            if (cancel.load()) return;
            const auto bytesDone = done.load(std::memory_order_relaxed);
            const auto bytesTotal = total.load(std::memory_order_relaxed);
            dialog.setValue(bytesTotal ? static_cast<int>(bytesDone * 1000 / bytesTotal) : 0);
            dialog.setLabelText(QString::fromStdString(
                ProgressText(bytesDone, bytesTotal, std::chrono::steady_clock::now() - started,
                             decimalSeparator)));
        };
        QObject::connect(&poll, &QTimer::timeout, &dialog, update);
        update();
        poll.start(100);
        dialog.show();
        if (!finished.load()) loop.exec();
    }
    worker.join();
    return result;
}

}  // namespace vorlix
