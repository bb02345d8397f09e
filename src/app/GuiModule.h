#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vorlix {

struct ProgramLocation;

// The window front-end as the module vorlix-gui.so exports it: a C name, for
// dlsym. It takes what RunQtFrontEnd takes and returns the exit status.
extern "C" int VorlixRunQtFrontEnd(int& argc, char** argv, const ProgramLocation& location,
                                   const std::vector<std::string>& words);
using QtFrontEndEntry = decltype(&VorlixRunQtFrontEnd);

inline constexpr const char* kGuiModuleFileName = "vorlix-gui.so";
inline constexpr const char* kGuiModuleEntryName = "VorlixRunQtFrontEnd";

// Where the module of a program in programFolder may lie, in the order tried:
// beside it (the build folder, a copied folder), then ../lib/vorlix (an
// installed program in bin/).
std::vector<std::filesystem::path> GuiModuleCandidates(const std::filesystem::path& programFolder);

struct GuiModule {
    QtFrontEndEntry run = nullptr;  // null when the module could not be loaded
    std::string failure;            // why, in one line; not escaped
};

// Loads the first candidate that exists. The module resolves the core's
// symbols against the running program, so it is loaded into this process only.
GuiModule LoadGuiModule(const std::filesystem::path& programFolder);

}  // namespace vorlix
