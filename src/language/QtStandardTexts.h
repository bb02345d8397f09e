#pragma once

#include <QTranslator>

#include "language/LanguageSwitch.h"

namespace vorlix {

class Language;

// Qt's own texts (the Yes and No buttons, the file dialog) follow the pack in
// force, so a Czech interface has no English buttons in it.
class QtStandardTexts final : public iLanguage {
  public:
    explicit QtStandardTexts(const Language& language) : language_(language) {}
    ~QtStandardTexts() override;

    void Updated() override;

  private:
    const Language& language_;
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace vorlix
