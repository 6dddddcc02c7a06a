#pragma once

#include <cstdio>
#include <cstring>

// --version of the three programs, answered before anything else starts (so
// krvstudio needs no display for it). Only the programs' main() include this;
// the build gives them KRV_VERSION_TEXT.
namespace ProgramInfo {

// True when `option` is one of the arguments.
inline bool asked(int argc, char **argv, const char *option)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0)
            return true;
    }
    return false;
}

// "<program> <version>" and the copyright line, on stdout.
inline void printVersion(const char *program)
{
    std::printf("%s %s\nCopyright (C) 2026 KRV Studio developers. All rights reserved.\n", program, KRV_VERSION_TEXT);
}

} // namespace ProgramInfo
