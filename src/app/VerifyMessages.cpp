#include "app/VerifyMessages.h"

#include <string>
#include <string_view>

#include "language/Language.h"
#include "ui/Dialogs.h"
#include "ui/ReadError.h"
#include "util/Text.h"

namespace vorlix {

void ShowVerifyResult(Dialogs& dialogs, const Language& language, const VerifyResult& result) {
    const auto label = [&language](std::string_view key) {
        return language.GetLabel("frmVorlix", key);
    };
    const auto show = [&](const std::string& text, std::string_view captionKey, MessageIcon icon) {
        dialogs.MessageBox(text, label(captionKey), icon);
    };
    for (const VerifyMessage& message : result.messages) {
        const std::string& subject = message.subject;
        switch (message.kind) {
            case VerifyMessage::Kind::Unrecognised:
                show(label("msgbox5Text1") + " " + subject + " " + label("msgbox5Text2"),
                     "msgbox2Caption", MessageIcon::Stop);
                break;
            case VerifyMessage::Kind::MissingFile:
                show(label("lblFileSource") + " " + subject + " " + label("msgbox6Text1"),
                     "msgbox6Caption", MessageIcon::Stop);
                break;
            case VerifyMessage::Kind::DigestMismatch:
                show(label("msgbox7Text1") + " " + Utf8Upper(subject) + " " + label("msgbox7Text2"),
                     "msgbox6Caption", MessageIcon::Stop);
                break;
            case VerifyMessage::Kind::LengthMismatch:
                show(label("msgbox8Text1") + " " + Utf8Upper(subject) + " " + label("msgbox8Text2"),
                     "msgbox6Caption", MessageIcon::Stop);
                break;
            case VerifyMessage::Kind::Success:
                show(label("msgbox9Text1") + " " + Utf8Upper(subject) + " " + label("msgbox9Text2"),
                     "msgbox9Text3", MessageIcon::Information);
                break;
        }
    }
    if (result.outcome == VerifyOutcome::ReadError) {
        ShowFileReadError(dialogs, result.unreadPath, result.unreadReason);
    }
}

}  // namespace vorlix
