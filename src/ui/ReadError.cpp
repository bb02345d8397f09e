#include "ui/ReadError.h"

#include "ui/Dialogs.h"

namespace vorlix {

void ShowFileReadError(Dialogs& dialogs, const std::string& path, std::string_view reason) {
    // Fixed English texts: this message must work even without a language pack.
    std::string text = "Error Reading File " + path;
    // CR LF, as every message breaks its lines; the console escapes a lone LF.
    if (!reason.empty()) text.append("\r\n").append(reason);
    dialogs.MessageBox(text, "Error Read File", MessageIcon::Stop, MessageButtons::Ok);
}

}  // namespace vorlix
