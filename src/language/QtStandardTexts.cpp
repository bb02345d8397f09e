#include "language/QtStandardTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "language/Language.h"

namespace vorlix {

QtStandardTexts::~QtStandardTexts() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

void QtStandardTexts::Updated() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
    // The pack names itself; only Czech needs Qt's texts translated.
    if (language_.GetLabel("Head", "LanguageFileNo") != std::to_string(kCzech)) return;
    if (translator_.load(QStringLiteral("qtbase_cs"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

}  // namespace vorlix
