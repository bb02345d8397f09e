#pragma once

#ifndef _WIN32
#include <dlfcn.h>

#include <string>

namespace vorlix {

// Loads a library by its file name for the rest of the process, its symbols
// kept to itself (RTLD_LOCAL) so they stay out of the way of everything
// loaded later; every symbol is bound now. Nothing, and why in `failure`,
// when it cannot be loaded.
inline void* LoadSharedLibrary(const char* fileName, std::string& failure) {
    void* library = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        failure = reason ? reason : std::string(fileName) + " cannot be loaded";
    }
    return library;
}

// The address of one function of a loaded library (`shownName` in
// messages), typed as the caller's pointer; the first one missing is noted
// in `failure`.
template <typename Function>
void FindFunction(void* library, const char* shownName, const char* name, Function& function,
                  std::string& failure) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (!function && failure.empty()) failure = std::string("no ") + name + " in " + shownName;
}

}  // namespace vorlix
#endif
