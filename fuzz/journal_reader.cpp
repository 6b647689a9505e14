// Fuzz target: the replay journal reader over any file contents (header, records, end).
#include "sys_journal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SysJournalHeader header;
    long frames = -1;
    std::string error;
    bool ok = Sys_CheckJournal(data, size, "fuzz.kxr", header, frames, error);
    if (ok != error.empty() || (ok && frames < 0) || header.ini.size() > (1u << 20) || header.scores.size() > (1u << 20))
        abort();
    return 0;
}
