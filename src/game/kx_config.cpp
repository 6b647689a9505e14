// The configuration file: reading the players' key tables and writing them back in canonical form.
#include "kx_config.h"
#include "dd_input.h"
#include "dd_log.h"
#include "script_utils.h"
#include "sys_file.h"

#include <cstdio>
#include <cstring>
#include <string>

static const char IniFileName[] = "kordax.ini";

const char *const IniStrings[INI_BLOCK_COUNT] = { "", "[KORDAX]", "[P1_INPUT]", "[P2_INPUT]", "[END_KORDAX]" };

int INI_GetBlockMarker(char *line) { return SCRIPT_GetBlockMarker(line, IniStrings, INI_BLOCK_COUNT); }

struct IniReader {
    FILE *f;
    bool seen[INI_BLOCK_COUNT];
    bool error;
    bool end;
};

static void Fail(IniReader &r, const char *message)
{
    DDErrorLog(message);
    r.error = true;
}

// Eight key lines. Every line is read even after a bad one; a bad one leaves key 0 (no key).
static void ReadKeys(IniReader &r, int *keys, const char *failMessage, const char *rangeMessage)
{
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++) {
        if (!SCRIPT_ReadInt(r.f, &keys[i])) {
            Fail(r, failMessage);
        } else if (keys[i] < 0 || keys[i] > 255) {
            // Key codes index 256-entry tables (key states, key pictures).
            keys[i] = 0;
            Fail(r, rangeMessage);
        }
    }
}

static void ReadInputBlock(IniReader &r, int block)
{
    bool p1 = block == INI_P1_INPUT;
    if (r.seen[block]) {
        Fail(r, p1 ? "ReadIniFile: [P1_INPUT] respecified." : "ReadIniFile: [P2_INPUT] respecified.");
        return;
    }
    if (!r.seen[INI_KORDAX]) {
        Fail(r, p1 ? "ReadIniFile: [P1_INPUT] found before [KORDAX]"
                   : "ReadIniFile: [P2_INPUT] found before [KORDAX]");
        return;
    }
    r.seen[block] = true;
    if (p1)
        ReadKeys(r, P1InputKeys, "ReadIniFile: Failed to read [P1_INPUT].",
                 "ReadIniFile: Key code out of range in [P1_INPUT].");
    else
        ReadKeys(r, P2InputKeys, "ReadIniFile: Failed to read [P2_INPUT].",
                 "ReadIniFile: Key code out of range in [P2_INPUT].");
}

static void HandleLine(IniReader &r, char *line)
{
    int block = INI_GetBlockMarker(line);
    switch (block) {
    case INI_KORDAX:
        if (r.seen[INI_KORDAX])
            Fail(r, "ReadIniFile: [KORDAX] respecified.");
        r.seen[INI_KORDAX] = true;
        break;
    case INI_P1_INPUT:
    case INI_P2_INPUT:
        ReadInputBlock(r, block);
        break;
    case INI_END_KORDAX:
        if (r.seen[INI_P1_INPUT] && r.seen[INI_P2_INPUT])
            r.end = true;
        else if (!r.seen[INI_P1_INPUT])
            Fail(r, "ReadIniFile: [P1_INPUT] not specified.");
        else
            Fail(r, "ReadIniFile: [P2_INPUT] not specified.");
        break;
    default:
        DDErrorLog("ReadIniFile: Block marker not found.");
        line[strcspn(line, "\r\n")] = '\0'; // the log adds its own line end
        DDErrorLog(line);
        r.error = true;
        break;
    }
}

void ReadIniFile()
{
    IniReader r = {};
    r.f = Sys_FOpen(IniFileName, "rt");
    if (!r.f) {
        DDErrorLog("Information: Failed to open 'kordax.ini'");
        DDErrorLog("Information: Using default configuration.");
        return;
    }
    char line[SCRIPT_LINE_SIZE];
    while (!r.end && !r.error && SCRIPT_ReadLine(r.f, line)) {
        if (line[0] == '#')
            continue;
        HandleLine(r, line);
    }
    // Opened but not readable (a directory, a device error).
    if (ferror(r.f))
        DDErrorLog("ReadIniFile: Failed to read 'kordax.ini'.");
    fclose(r.f);
}

static void AppendKeys(std::string &text, const int *keys)
{
    char number[16];
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++) {
        snprintf(number, sizeof number, "%d\n", keys[i]);
        text += number;
    }
}

bool WriteIniFile()
{
    std::string text = "[KORDAX]\n[P1_INPUT]\n";
    AppendKeys(text, P1InputKeys);
    text += "[P2_INPUT]\n";
    AppendKeys(text, P2InputKeys);
    text += "[END_KORDAX]\n";
    if (!Sys_SaveFile(IniFileName, text.data(), text.size())) {
        DDErrorLog("WriteIniFile: Failed to write 'kordax.ini', keys not saved.");
        return false;
    }
    return true;
}
