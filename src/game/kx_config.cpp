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

// Set when "kordax.ini" exists but cannot be read, or is read-only: it is then never written
// over, so the player's keys survive whatever kept it from us.
bool IniUnreadable = false;

struct IniReader {
    FILE *f;
    int lineNumber;
    bool seen[INI_BLOCK_COUNT];
    bool error;
    bool end;
};

static void Fail(IniReader &r, const char *message)
{
    DDErrorLog(message);
    r.error = true;
}

static bool NextLine(IniReader &r, char *line)
{
    if (!SCRIPT_ReadLine(r.f, line))
        return false;
    r.lineNumber++;
    return true;
}

// Eight key lines. A line without a number, or with a code no key has (0 is never pressed,
// tables hold 256), gives that action its default key; the rest of the file is still read.
static void ReadKeys(IniReader &r, bool p1)
{
    int *keys = p1 ? P1InputKeys : P2InputKeys;
    const int *defaults = p1 ? DefaultP1InputKeys : DefaultP2InputKeys;
    const char *block = p1 ? "[P1_INPUT]" : "[P2_INPUT]";
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++) {
        char line[SCRIPT_LINE_SIZE];
        if (!NextLine(r, line)) {
            std::string message = std::string("ReadIniFile: Failed to read ") + block + ". The file ends at line " +
                                  std::to_string(r.lineNumber) + ", the block's last " +
                                  std::to_string(DDINPUT_NUM_ACTIONS - i) + " keys kept.";
            DDErrorLog(message.c_str());
            r.error = true;
            return;
        }
        int key = 0;
        bool number = SCRIPT_ParseInt(line, &key);
        if (number && key >= 1 && key <= 255) {
            keys[i] = key;
            continue;
        }
        line[strcspn(line, "\r\n")] = '\0';
        keys[i] = defaults[i];
        std::string message = std::string(number ? "ReadIniFile: Key code out of range in " : "ReadIniFile: Failed to read ") +
                              block + (number ? ", line " : ". Line ") + std::to_string(r.lineNumber) + " \"" +
                              DDLogEscape(line) + "\": default key " + std::to_string(defaults[i]) + " used.";
        DDErrorLog(message.c_str());
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
    ReadKeys(r, p1);
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
        DDErrorLogRead(line);
        r.error = true;
        break;
    }
}

static void LeaveUntouched(const char *reason)
{
    IniUnreadable = true;
    std::string message = std::string("Information: 'kordax.ini' is ") + reason +
                          "; it is left untouched and keys changed in this run are not saved.";
    DDErrorLog(message.c_str());
}

void ReadIniFile()
{
    IniUnreadable = false;
    IniReader r = {};
    const char *keep = nullptr;
    r.f = Sys_OpenPlayerFile(IniFileName, &keep);
    if (!r.f) {
        DDErrorLog("Information: Failed to open 'kordax.ini'");
        DDErrorLog("Information: Using default configuration.");
        if (keep)
            LeaveUntouched(keep);
        return;
    }
    char line[SCRIPT_LINE_SIZE];
    while (!r.end && !r.error && NextLine(r, line)) {
        if (line[0] == '#')
            continue;
        HandleLine(r, line);
    }
    // Opened but not readable (a directory, a device error).
    if (ferror(r.f)) {
        const char *problem = Sys_FileProblem(IniFileName);
        DDErrorLog("ReadIniFile: Failed to read 'kordax.ini'.");
        LeaveUntouched(problem ? problem : "unreadable");
    } else if (keep) {
        LeaveUntouched(keep); // read, but the player has made it read-only
    }
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
    if (IniUnreadable)
        return false;
    std::string text = "[KORDAX]\n[P1_INPUT]\n";
    AppendKeys(text, P1InputKeys);
    text += "[P2_INPUT]\n";
    AppendKeys(text, P2InputKeys);
    text += "[END_KORDAX]\n";
    const char *why = nullptr;
    if (!Sys_SaveFile(IniFileName, text.data(), text.size(), &why)) {
        if (!why) {
            DDErrorLog("WriteIniFile: Failed to write 'kordax.ini', keys not saved.");
            return false;
        }
        std::string message = std::string("WriteIniFile: Failed to write 'kordax.ini' (") + why + "), keys not saved.";
        DDErrorLogUrgent(message.c_str());
        return false;
    }
    return true;
}
