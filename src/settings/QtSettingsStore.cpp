#include "settings/QtSettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <utility>

namespace vorlix {

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::string applicationName)
    : applicationName_(std::move(applicationName)) {}

// A fresh QSettings per call: another instance of the program may have
// written in between, and nothing is cached across the run.
std::string QtSettingsStore::Read(const std::string& section, const std::string& key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vorlix"),
                       QString::fromStdString(applicationName_));
    const QVariant value = settings.value(KeyPath(section, key));
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
    settings.sync();
}

}  // namespace vorlix
