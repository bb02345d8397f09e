#include "update/UpdateNotice.h"

#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "ui/Links.h"
#include "update/UpdateFile.h"
#include "util/PathHelpers.h"
#include "util/Text.h"

namespace vorlix {
namespace {

constexpr int kLargestVersionNumber = 32767;

std::optional<int> VersionPart(std::string_view part) {
    if (part.empty()) return std::nullopt;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kLargestVersionNumber) return std::nullopt;
    }
    return value;
}

std::string NewerThanPublishedWarning(const char* number) {
    return std::string("Zachycena neshoda ve vezích programů, ") + number +
           " je vyšší než veřejně publikovaná na Webu. Program je testovací ALFA verze a může "
           "obsahovat chyby.\r\nProsím stáhněte si Stable verzi programu na Webu " +
           links::kHomePage;
}

}  // namespace

std::optional<VersionNumbers> DecompositionVerStr(std::string_view text) {
    int parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto dot = text.find('.');
        const bool last = i == 3;
        if (last != (dot == std::string_view::npos)) return std::nullopt;
        const auto number = VersionPart(text.substr(0, dot));
        if (!number) return std::nullopt;
        parts[i] = *number;
        if (!last) text.remove_prefix(dot + 1);
    }
    return VersionNumbers{parts[0], parts[1], parts[2], parts[3]};
}

VersionComparison CompareVersions(Dialogs& dialogs, std::string_view ThisProgVer,
                                  std::string_view PublicProgVer) {
    VersionComparison result;
    const auto running = DecompositionVerStr(ThisProgVer);
    if (!running) {
        dialogs.MessageBox("Vstupní informace ThisProgVer není platná, proces přerušen.",
                           "Chyba vstupních dat", MessageIcon::Stop);
        result.NewerThanPublished = true;
        result.InvalidVersion = true;
        return result;
    }
    const auto published = DecompositionVerStr(PublicProgVer);
    if (!published) {
        dialogs.MessageBox("Vstupní informace PublicProgVer není platná, proces přerušen.",
                           "Chyba vstupních dat", MessageIcon::Stop);
        result.NewerThanPublished = true;
        result.InvalidVersion = true;
        return result;
    }
    if (*running > *published) {
        result.NewerThanPublished = true;
        const char* number = "hodnota Build";
        const char* title = "Neshoda verzí";
        if (running->MajorVer != published->MajorVer) {
            number = "hodnota Major";
            title = "Varování";
        } else if (running->MinorVer != published->MinorVer) {
            number = "hodnota Minor";
            title = "Varování";
        } else if (running->LowVer != published->LowVer) {
            number = "hodnota Low";
            title = "Varování";
        }
        dialogs.MessageBox(NewerThanPublishedWarning(number), title, MessageIcon::Stop);
    } else if (*running < *published) {
        result.CriticalUpdate = running->MajorVer == published->MajorVer &&
                                running->MinorVer == published->MinorVer &&
                                running->LowVer == published->LowVer;
    } else {
        result.SameVersion = true;
    }
    return result;
}

int ExitStatusOf(UpdateOutcome outcome) {
    switch (outcome) {
        case UpdateOutcome::UpToDate:
        case UpdateOutcome::RunningNewer:
            return 0;
        case UpdateOutcome::NewerPublished:
            return 1;
        case UpdateOutcome::NotListed:
        case UpdateOutcome::InvalidVersion:
        case UpdateOutcome::DownloadFailed:
        case UpdateOutcome::Unfinished:
            break;
    }
    return 2;
}

std::optional<std::string> ReadPublishedVersion(UpdateFile& file, const std::string& path,
                                                std::string_view productName) {
    // A count that is missing or no number lists nothing.
    const int count =
        VersionPart(file.ReadUpdateValue(path, "Update", "ProgramToUpdate").value_or(""))
            .value_or(0);
    const std::string_view wanted = Trim(productName);
    for (int i = 1; i <= count; ++i) {
        const auto name = file.ReadUpdateValue(path, "ProgramNames", "Program" + std::to_string(i));
        if (name && *name == wanted) {
            auto version = file.ReadUpdateValue(path, "UpdateVersionProgram",
                                                "VersionFile" + std::to_string(i));
            if (!version || version->empty()) return std::nullopt;
            return version;
        }
    }
    return std::nullopt;
}

UpdateNotice GetUpdateNotice(Dialogs& dialogs, const Language& language, UpdateFile& file,
                             const std::string& path, const std::function<void()>& unloadWindow,
                             std::string_view ThisProgVer) {
    const auto label = [&language](const char* key) {
        return language.GetLabel("modAvizo_v4", key);
    };
    const auto unload = [&unloadWindow] {
        if (unloadWindow) unloadWindow();
    };
    LogProgress(label("txtDetectVersion") + " " + std::string(ThisProgVer));

    const std::string productName = ProductInfo::OfThisBuild().productName;
    const auto PublicProgVer = ReadPublishedVersion(file, path, productName);
    if (!PublicProgVer) {
        dialogs.MessageBox(
            label("txtRecordNotFound1") + " " + productName + " " + label("txtRecordNotFound2"),
            language.GetLabel("Generic", "CaptionInformation"), MessageIcon::Stop);
        unload();
        return {"", UpdateOutcome::NotListed};
    }
    if (*PublicProgVer == ThisProgVer) return {label("txtActualVersion"), UpdateOutcome::UpToDate};

    const VersionComparison comparison = CompareVersions(dialogs, ThisProgVer, *PublicProgVer);
    if (comparison.InvalidVersion) return {"", UpdateOutcome::InvalidVersion};
    unload();
    if (comparison.NewerThanPublished) return {"", UpdateOutcome::RunningNewer};
    if (comparison.SameVersion) return {label("txtActualVersion"), UpdateOutcome::UpToDate};
    const std::string kind =
        label(comparison.CriticalUpdate ? "txtCriticalUpdate" : "txtMainUpgrade");
    return {label("txtNewVersionAvailable") + " " + *PublicProgVer + " - " + kind,
            UpdateOutcome::NewerPublished};
}

UpdateNotice GetUpdateNotice(Dialogs& dialogs, const Language& language, UpdateFile& file,
                             const std::string& path, const std::function<void()>& unloadWindow) {
    return GetUpdateNotice(dialogs, language, file, path, unloadWindow, VersionString());
}

}  // namespace vorlix
