#include "settings/FileAssociation.h"

#include "language/Language.h"
#include "settings/AssociationPlatform.h"
#include "ui/Dialogs.h"
#include "util/Text.h"

namespace vorlix {

std::string ExecutableFullPath(const ProgramLocation& location) {
    std::string path = location.folder.string();
#ifdef _WIN32
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
    path += location.exeName;
    if (path.size() < 4 || AsciiLower(path.substr(path.size() - 4)) != ".exe") path += ".exe";
#else
    if (path.empty() || path.back() != '/') path += '/';
    path += location.exeFileName;
#endif
    return path;
}

FileAssociation::FileAssociation(AssociationPlatform& platform, Dialogs& dialogs,
                                 const Language& language, ProgramLocation location)
    : platform_(platform), dialogs_(dialogs), language_(language), location_(std::move(location)) {}

bool FileAssociation::RefuseDottedExtension(const std::string& extension) {
    if (extension.find('.') == std::string::npos) return false;
    dialogs_.MessageBox(language_.GetLabel("modAssociateExtension", "msgbox1Text1"),
                        language_.GetLabel("modAssociateExtension", "msgbox1Text2"),
                        MessageIcon::Information);
    return true;
}

AssociationFailures FileAssociation::AssociateExtension(const std::string& extension,
                                                        const std::string& target,
                                                        const std::string& typeName) {
    if (RefuseDottedExtension(extension)) return {};
    return Noted(platform_.Register(extension, target, typeName));
}

AssociationFailures FileAssociation::RemoveExtensionAssociation(const std::string& extension,
                                                                const std::string& typeName) {
    if (RefuseDottedExtension(extension)) return {};
    return Noted(platform_.Unregister(extension, typeName));
}

AssociationFailures FileAssociation::Noted(AssociationFailures failures) {
    const std::string caption = language_.GetLabel("modAssociateExtension", "msgbox1Text2");
    for (const AssociationFailure& failure : failures) {
        const std::string why = failure.reason.empty() ? failure.error.message() : failure.reason;
        dialogs_.Note(failure.what + ": " + why, caption);
    }
    return failures;
}

bool FileAssociation::IsExtensionAssociated() {
    const std::optional<std::string> program = platform_.OpenCommandProgram(TypeName());
    BuildExeFullPath();
    AssociationChecked = true;
    return program && *program == ExeFullPath;
}

const std::string& FileAssociation::BuildExeFullPath() {
    ExeFullPath = ExecutableFullPath(location_);
    return ExeFullPath;
}

}  // namespace vorlix
