#include "update/BackgroundDownload.h"

#include <QEventLoop>
#include <QMetaObject>
#include <atomic>
#include <thread>

namespace vorlix {

bool DownloadInBackground(const std::string& address, const std::string& localPath,
                          const DownloadLimits& limits) {
    QEventLoop loop;
    std::atomic<bool> succeeded{false};
    std::thread worker([&] {
        succeeded = DownloadFile(address, localPath, limits);
        // Queued: a quit posted before exec() starts still ends it.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return succeeded;
}

}  // namespace vorlix
