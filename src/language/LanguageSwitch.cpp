#include "language/LanguageSwitch.h"

#include <algorithm>

#include "language/Language.h"

namespace vorlix {

void LanguageSwitch::ApplyLanguage(std::int32_t identifier) {
    language_.LoadLanguageFile(identifier);
    // Listeners still see the previous identifier in CurrentLanguage().
    for (iLanguage* window : std::vector<iLanguage*>(listeners_)) window->Updated();
    current_ = identifier;
}

void LanguageSwitch::RemoveListener(iLanguage* window) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), window), listeners_.end());
}

}  // namespace vorlix
