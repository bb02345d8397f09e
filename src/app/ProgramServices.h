#pragma once

#include <memory>

#include "app/MainWindowModel.h"
#include "language/Language.h"
#include "language/LanguageSwitch.h"
#include "settings/AssociationPlatform.h"
#include "settings/FileAssociation.h"
#include "settings/Options.h"
#include "util/Clock.h"
#include "util/ProgramLocation.h"

namespace vorlix {

class Dialogs;
class SettingsStore;

// The program-wide objects of one run, wired together once. Both front-ends
// build one; they differ only in the dialogs, the store and the digest runner.
struct ProgramServices {
    ProgramServices(Dialogs& dialogs, SettingsStore& store, const ProgramLocation& location,
                    std::unique_ptr<AssociationPlatform> platform, DigestRunner runDigest,
                    Downloader download = {}, ManyFilesRunner runMany = {});

    ProgramLocation location;
    SystemClock clock;
    Language language;
    LanguageSwitch languages;
    std::unique_ptr<AssociationPlatform> associationPlatform;
    FileAssociation association;
    Options options;
    MainWindowModel mainWindow;
};

}  // namespace vorlix
