#include "app/QtDigestRunner.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "app/DigestProgress.h"

namespace vorlix {

FileDigestResult RunDigestWithProgress(QWidget* window, const std::string& path,
                                       const QString& cancelCaption, char decimalSeparator) {
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
            &cancel);
        finished.store(true);
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });

    // Most digests end well within the delay: no dialog flashes up for them,
    // and no user input reaches the window meanwhile.
    QTimer delay;
    delay.setSingleShot(true);
    QObject::connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
    delay.start(kProgressDelay);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished.load()) {
        QProgressDialog dialog(window);
        dialog.setWindowTitle(QStringLiteral("Vorlix"));
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
            const auto bytesDone = done.load(std::memory_order_relaxed);
            const auto bytesTotal = total.load(std::memory_order_relaxed);
            dialog.setValue(bytesTotal ? static_cast<int>(bytesDone * 1000 / bytesTotal) : 0);
            dialog.setLabelText(QString::fromStdString(ProgressText(
                bytesDone, bytesTotal, std::chrono::steady_clock::now() - started,
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
