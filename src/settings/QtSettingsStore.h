#pragma once

#include <string>

#include "settings/SettingsStore.h"

class QSettings;

namespace vorlix {

// The per-user settings of the platform through QSettings: organisation
// "Vorlix", application the executable's name, every value a text. On Linux
// the file is $XDG_CONFIG_HOME/Vorlix/<application>.conf. Needs QtCore only.
class QtSettingsStore final : public SettingsStore {
  public:
    explicit QtSettingsStore(std::string applicationName);

    std::string Read(const std::string& section, const std::string& key) override;
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override;

  private:
    void NoteStatus(const QSettings& settings);

    std::string applicationName_;
};

}  // namespace vorlix
