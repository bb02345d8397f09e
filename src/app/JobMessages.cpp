#include "app/JobMessages.h"

#include <string>
#include <string_view>

#include "checksum/ChecksumList.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "ui/ReadError.h"
#include "util/Md5sumName.h"
#include "util/Text.h"

namespace vorlix {

namespace {

void ShowUnrecognised(Dialogs& dialogs, const Language& language, const std::string& checksumPath) {
    const auto label = [&language](std::string_view key) {
        return language.GetLabel("frmVorlix", key);
    };
    dialogs.MessageBox(label("msgbox5Text1") + " " + checksumPath + " " + label("msgbox5Text2"),
                       label("msgbox2Caption"), MessageIcon::Stop);
}

std::string ListLabel(const Language& language, std::string_view key) {
    return language.GetLabel("modChecksumList", key);
}

}  // namespace

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
                ShowUnrecognised(dialogs, language, subject);
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

void ShowListResult(Dialogs& dialogs, const Language& language, const std::string& checksumPath,
                    const ListResult& result) {
    if (result.outcome == ListOutcome::NoUsableEntry) {
        return ShowUnrecognised(dialogs, language, checksumPath);
    }
    std::string summary =
        ChecksumListSummaryText(language, checksumPath, result.counts, result.notEntries);
    if (result.passedOver != 0) {
        summary += "\r\n" + ListLabel(language, "listPassedOver") + " " +
                   std::to_string(result.passedOver);
    }
    if (result.noneVerified) summary += "\r\n" + ListLabel(language, "listNoneVerified");
    dialogs.ShowDiagnostic(
        summary, ListLabel(language, "listCaption"),
        result.outcome == ListOutcome::Passed ? MessageIcon::Information : MessageIcon::Stop);
}

void ShowNoneVerified(Dialogs& dialogs, const Language& language, const std::string& checksumPath) {
    dialogs.ShowDiagnostic(ListLabel(language, "listText1") + " " + checksumPath + "\r\n" +
                               ListLabel(language, "listNoneVerified"),
                           ListLabel(language, "listCaption"), MessageIcon::Stop);
}

void ShowFolderResult(Dialogs& dialogs, const Language& language, const std::string& folder,
                      const FolderResult& result) {
    const std::string caption = ListLabel(language, "folderCaption");
    switch (result.outcome) {
        case FolderOutcome::NotAFolder:
            dialogs.MessageBox(ListLabel(language, "folderText1") + " " + folder + " " +
                                   ListLabel(language, "folderNotFound"),
                               caption, MessageIcon::Stop);
            return;
        case FolderOutcome::Cancelled:
            if (result.runCancelled) {
                const auto label = [&](std::string_view key) {
                    return language.GetLabel("frmVorlix", key);
                };
                dialogs.MessageBox(
                    label("msgbox2Text1") + " " + result.checksumPath + " " + label("msgbox2Text2"),
                    label("msgbox2Caption"), MessageIcon::Information);
            }
            return;  // the save said why it stopped
        case FolderOutcome::Failed:
            return;  // the save said why
        case FolderOutcome::Complete:
        case FolderOutcome::Incomplete:
            break;
    }
    std::string summary = ListLabel(language, "folderText1") + " " + result.listed;
    if (result.counts.digested == 0) {
        summary += " " + ListLabel(language, "folderEmpty");
    } else {
        summary += "\r\n" + ListLabel(language, "folderSavedTo") + " " + result.savedAs;
        summary += "\r\n" + ListLabel(language, "folderRecorded") + " " +
                   std::to_string(result.counts.digested);
        summary +=
            "\r\n" + ListLabel(language, "folderBytes") + " " + std::to_string(result.counts.bytes);
    }
    if (!result.leftOut.empty()) {
        summary += "\r\n" + ListLabel(language, "folderLeftOut");
        for (const std::string& name : result.leftOut) summary += "\r\n   " + Md5sumEscape(name);
    }
    dialogs.MessageBox(
        summary, caption,
        result.outcome == FolderOutcome::Complete ? MessageIcon::Information : MessageIcon::Stop);
}

}  // namespace vorlix
