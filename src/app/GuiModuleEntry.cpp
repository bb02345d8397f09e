// The one entry point of the module vorlix-gui.so; C linkage comes from its
// declaration.
#include "app/GuiModule.h"
#include "app/QtFrontEnd.h"

namespace vorlix {

int VorlixRunQtFrontEnd(int& argc, char** argv, const ProgramLocation& location,
                        const std::vector<std::string>& words) {
    return RunQtFrontEnd(argc, argv, location, words);
}

}  // namespace vorlix
