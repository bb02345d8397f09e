#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/AssociationPlatform.h"

namespace vorlix::test {

// Keeps registrations in memory and remembers every call; every call
// reports `failures`.
class FakeAssociationPlatform final : public AssociationPlatform {
  public:
    AssociationFailures Register(const std::string& extension, const std::string& target,
                                 const std::string& typeName) override {
        calls.push_back("register " + extension + " " + target + " " + typeName);
        openCommands[typeName] = target;
        return failures;
    }
    AssociationFailures Unregister(const std::string& extension,
                                   const std::string& typeName) override {
        calls.push_back("unregister " + extension + " " + typeName);
        openCommands.erase(typeName);
        return failures;
    }
    std::optional<std::string> OpenCommandProgram(const std::string& typeName) override {
        auto found = openCommands.find(typeName);
        if (found == openCommands.end()) return std::nullopt;
        return found->second;
    }

    std::vector<std::string> calls;
    std::map<std::string, std::string> openCommands;
    AssociationFailures failures;
};

}  // namespace vorlix::test
