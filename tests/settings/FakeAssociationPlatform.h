#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/AssociationPlatform.h"

namespace vorlix::test {

// Keeps registrations in memory and remembers every call.
class FakeAssociationPlatform final : public AssociationPlatform {
public:
    void Register(const std::string& extension, const std::string& target,
                  const std::string& typeName) override {
        calls.push_back("register " + extension + " " + target + " " + typeName);
        openCommands[typeName] = target;
    }
    void Unregister(const std::string& extension, const std::string& typeName) override {
        calls.push_back("unregister " + extension + " " + typeName);
        openCommands.erase(typeName);
    }
    std::optional<std::string> OpenCommandProgram(const std::string& typeName) override {
        auto found = openCommands.find(typeName);
        if (found == openCommands.end()) return std::nullopt;
        return found->second;
    }

    std::vector<std::string> calls;
    std::map<std::string, std::string> openCommands;
};

}  // namespace vorlix::test
