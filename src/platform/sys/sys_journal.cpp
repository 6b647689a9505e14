// Replay journals: the end of a recorded or replayed run, and the installed game's own recordings.
#include "sys_journal_codec.h"
#include "sys_os.h"
#include "sys_report.h"
#include "sys_util.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/file.h>
#include <unistd.h>

int Sys_FinishJournal(int result, int scoreP1, int scoreP2)
{
    int exitCode = result;
    if (!Jnl_FinishRecording(scoreP1, scoreP2))
        Jnl_FinishPlayback(scoreP1, scoreP2, exitCode);
    return exitCode;
}

// ---- the installed game's own recordings ----

// A counter after the time keeps names of the same second in order: -01, -02, ...
static std::string ReplaySuffix(int n) { return (n < 10 ? "-0" : "-") + std::to_string(n); }

// A journal that holds nothing (a run killed before its first picture) takes no place among the
// kept ones: removed, unless a game running now still writes it (it holds the file locked).
static bool RemovedAsEmpty(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> data;
    bool tooLarge;
    bool nothing = flock(fileno(f), LOCK_EX | LOCK_NB) == 0 && Sys_ReadAll(f, MaxJournalBytes, data, tooLarge) &&
                   Sys_JournalHoldsNothing(data.data(), data.size());
    fclose(f);
    return nothing && unlink(path.c_str()) == 0;
}

std::string Sys_NewReplayPath(const std::string &folder, int keep)
{
    if (!Sys_MakeFolders(folder)) {
        Sys_Warn("this run is not recorded: cannot create %s (%s)", folder.c_str(), strerror(errno));
        return "";
    }
    std::vector<std::string> old;
    if (DIR *d = opendir(folder.c_str())) {
        while (const dirent *e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 11 && name.compare(0, 7, "kordax-") == 0 && name.compare(name.size() - 4, 4, ".kxr") == 0 &&
                !RemovedAsEmpty(folder + "/" + name))
                old.push_back(name);
        }
        closedir(d);
    }
    std::sort(old.begin(), old.end());
    for (size_t i = 0; i + (size_t)std::max(keep - 1, 0) < old.size(); i++)
        unlink((folder + "/" + old[i]).c_str());
    return Sys_FreeTimedName(folder, "kordax", ".kxr", ReplaySuffix);
}
