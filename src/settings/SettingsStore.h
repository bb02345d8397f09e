#pragma once

#include <map>
#include <optional>
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

    // Where the store is and why it failed, once a read or a write could not
    // be done; it stays set for the rest of the run.
    const std::optional<std::string>& Failure() const { return failure_; }

  protected:
    void Failed(std::string why) {
        if (!failure_) failure_ = std::move(why);
    }

  private:
    std::optional<std::string> failure_;
};

// A store that lives in memory only: for tests. Once broken, it reads
// nothing and keeps nothing, as a store on a lost disk would.
class MemorySettingsStore final : public SettingsStore {
  public:
    std::string Read(const std::string& section, const std::string& key) override {
        if (broken_) {
            Failed(*broken_);
            return {};
        }
        auto found = values_.find({section, key});
        return found == values_.end() ? std::string() : found->second;
    }
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        if (broken_) {
            Failed(*broken_);
            return;
        }
        values_[{section, key}] = value;
    }
    void Break(std::string why) { broken_ = std::move(why); }
    void Erase(const std::string& section, const std::string& key) {
        values_.erase({section, key});
    }
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::optional<std::string> broken_;
};

}  // namespace vorlix
