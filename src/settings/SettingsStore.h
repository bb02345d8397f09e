#pragma once

#include <map>
#include <string>
#include <utility>

namespace vorlix {

// The per-user settings store: texts by section and key. An absent key reads
// as the empty text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string Read(const std::string& section, const std::string& key) = 0;
    virtual void Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// A store that lives in memory only: for tests.
class MemorySettingsStore final : public SettingsStore {
public:
    std::string Read(const std::string& section, const std::string& key) override {
        auto found = values_.find({section, key});
        return found == values_.end() ? std::string() : found->second;
    }
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        values_[{section, key}] = value;
    }
    void Erase(const std::string& section, const std::string& key) {
        values_.erase({section, key});
    }
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace vorlix
