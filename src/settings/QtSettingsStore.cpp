#include "settings/QtSettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <utility>

namespace vorlix {

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

const char* StatusText(QSettings::Status status) {
    return status == QSettings::FormatError ? "the file is not in the settings format"
                                            : "the file cannot be read or written";
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::string applicationName)
    : applicationName_(std::move(applicationName)) {}

void QtSettingsStore::NoteStatus(const QSettings& settings) {
    if (settings.status() == QSettings::NoError) return;
    Failed(settings.fileName().toStdString() + ": " + StatusText(settings.status()));
}

// A fresh QSettings per call: another instance of the program may have
// written in between, and nothing is cached across the run.
std::string QtSettingsStore::Read(const std::string& section, const std::string& key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vorlix"),
                       QString::fromStdString(applicationName_));
    const QVariant value = settings.value(KeyPath(section, key));
    NoteStatus(settings);
    // A hand-edited value with commas comes back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::Write(const std::string& section, const std::string& key,
                            const std::string& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vorlix"),
                       QString::fromStdString(applicationName_));
    settings.setValue(KeyPath(section, key), QString::fromStdString(value));
    // QSettings keeps a failed write to itself; only the status after sync tells.
    settings.sync();
    NoteStatus(settings);
}

}  // namespace vorlix
