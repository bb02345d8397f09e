#include "app/ProgramServices.h"

#include <utility>

#include "app/Startup.h"

namespace vorlix {

ProgramServices::ProgramServices(Dialogs& dialogs, SettingsStore& store,
                                 const ProgramLocation& location,
                                 std::unique_ptr<AssociationPlatform> platform,
                                 DigestRunner runDigest, Downloader download,
                                 ManyFilesRunner runMany)
    : location(location),
      language(location.LanguagesFolder(), EndOnPackFailure(dialogs)),
      languages(language),
      associationPlatform(std::move(platform)),
      association(*associationPlatform, dialogs, language, location),
      options(store, dialogs, association, location),
      mainWindow(MainWindowServices{dialogs, language, languages, options, clock,
                                    std::move(runDigest), LocaleDecimalSeparator(),
                                    std::move(download), std::move(runMany)}) {}

}  // namespace vorlix
