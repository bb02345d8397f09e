#pragma once

#include <cstdint>
#include <vector>

namespace vorlix {

class Language;

inline constexpr std::int32_t kCzech = 1027;
inline constexpr std::int32_t kEnglish = 1033;

// A window that wants to hear when the shared pack was replaced (iLanguage).
class iLanguage {
  public:
    virtual ~iLanguage() = default;
    virtual void Updated() = 0;
};

// Which language is in force, and the switch to another (modLanguage).
class LanguageSwitch {
  public:
    explicit LanguageSwitch(Language& language) : language_(language) {}

    // Loads the pack (the program ends if it cannot), tells the listeners,
    // then records the identifier as the one in force.
    void ApplyLanguage(std::int32_t identifier);

    // 0 until the first switch.
    std::int32_t CurrentLanguage() const { return current_; }

    void AddListener(iLanguage* window) { listeners_.push_back(window); }
    void RemoveListener(iLanguage* window);

  private:
    Language& language_;
    std::int32_t current_ = 0;
    std::vector<iLanguage*> listeners_;
};

}  // namespace vorlix
