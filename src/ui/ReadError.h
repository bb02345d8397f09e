#pragma once

#include <string>
#include <string_view>

namespace vorlix {

class Dialogs;

// The fixed read-failure message: "Error Reading File " + path, with the
// reason on a second line when there is one.
void ShowFileReadError(Dialogs& dialogs, const std::string& path, std::string_view reason = {});

}  // namespace vorlix
