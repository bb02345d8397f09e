#include "app/GuiModule.h"

#include <dlfcn.h>

#include <system_error>

namespace vorlix {

std::vector<std::filesystem::path> GuiModuleCandidates(const std::filesystem::path& programFolder) {
    return {programFolder / kGuiModuleFileName,
            (programFolder / ".." / "lib" / "vorlix" / kGuiModuleFileName).lexically_normal()};
}

GuiModule LoadGuiModule(const std::filesystem::path& programFolder) {
    GuiModule module;
    const auto candidates = GuiModuleCandidates(programFolder);
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (!std::filesystem::exists(candidate, error)) continue;
        // Every symbol now: a module that does not fit this program fails
        // here, with a reason, and not halfway through a window.
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            module.failure = ::dlerror();
            return module;
        }
        // The handle stays open: the module runs until the process ends.
        module.run = reinterpret_cast<QtFrontEndEntry>(::dlsym(handle, kGuiModuleEntryName));
        if (!module.run) module.failure = ::dlerror();
        return module;
    }
    module.failure = std::string(kGuiModuleFileName) + " is neither at " + candidates[0].string() +
                     " nor at " + candidates[1].string();
    return module;
}

}  // namespace vorlix
