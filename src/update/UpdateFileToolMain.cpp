#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "update/UpdateFileTool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> words(argv + 1, argv + argc);
    return vorlix::RunUpdateFileTool(words, std::cin, std::cout, std::cerr,
                                     isatty(STDOUT_FILENO) == 1);
}
