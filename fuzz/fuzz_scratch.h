// Shared by the fuzz targets: one scratch folder a run for the files the readers open.
#pragma once

#include "kx_bmp.h"

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

struct FuzzScratch {
    std::string dir;
    std::vector<std::string> files;
};

inline FuzzScratch &FuzzScratchState()
{
    static FuzzScratch scratch;
    return scratch;
}

inline void FuzzRemoveScratch()
{
    const FuzzScratch &s = FuzzScratchState();
    for (const std::string &name : s.files)
        unlink((s.dir + "/" + name).c_str());
    rmdir(s.dir.c_str());
}

// The run's folder /tmp/<prefix>_XXXXXX, made on the first call; at exit the files named and the
// folder are removed. Empty if it could not be made.
inline const std::string &FuzzScratchDir(const char *prefix, std::initializer_list<const char *> files)
{
    FuzzScratch &s = FuzzScratchState();
    static bool tried = false;
    if (!tried) {
        tried = true;
        std::string pattern = std::string("/tmp/") + prefix + "_XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data())) {
            s.dir = name.data();
            s.files.assign(files.begin(), files.end());
            atexit(FuzzRemoveScratch);
        }
    }
    return s.dir;
}

// Makes the scratch folder the working one, so the file a reader opens by its bare name is the input.
inline bool FuzzEnterScratchDir(const char *prefix, std::initializer_list<const char *> files)
{
    static bool entered = false;
    if (!entered) {
        const std::string &dir = FuzzScratchDir(prefix, files);
        entered = !dir.empty() && chdir(dir.c_str()) == 0;
    }
    return entered;
}
