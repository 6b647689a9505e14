// The configuration file: reading the players' key tables and writing them back in canonical form.
#include "kx_config.h"
#include "dd_input.h"
#include "dd_log.h"
#include "script_utils.h"
#include "sys_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

static const char IniFileName[] = "kordax.ini";

const char *const IniStrings[INI_BLOCK_COUNT] = { "", "[KORDAX]", "[P1_INPUT]", "[P2_INPUT]", "[END_KORDAX]" };

int INI_GetBlockMarker(char *line) { return SCRIPT_GetBlockMarker(line, IniStrings, INI_BLOCK_COUNT); }

// Set when "kordax.ini" exists but cannot be read, or is read-only: it is then never written
// over, so the player's keys survive whatever kept it from us.
bool IniUnreadable = false;
// What the reader had to mend in the file as read (empty when nothing): its bytes are kept
// aside before the first save replaces them.
static std::string IniDamage;

struct IniReader {
    FILE *f;
    int lineNumber;
    bool seen[INI_BLOCK_COUNT];
    bool error;
    bool end;
    bool longLine; // the line just read is a piece of a longer one
    std::string damage;
};

// Notes the first thing mended, at the current line.
static void Mended(IniReader &r, const std::string &what)
{
    if (r.damage.empty())
        r.damage = "line " + std::to_string(r.lineNumber) + ": " + what;
}

static void Fail(IniReader &r, const char *message)
{
    DDErrorLog(message);
    r.error = true;
    std::string what = message + strlen("ReadIniFile: ");
    if (!what.empty() && what.back() == '.')
        what.pop_back();
    Mended(r, what);
}

static bool NextLine(IniReader &r, char *line)
{
    if (!SCRIPT_ReadLine(r.f, line))
        return false;
    // A line the reader takes in pieces continues the previous one.
    if (!r.longLine)
        r.lineNumber++;
    size_t length = strlen(line);
    r.longLine = length == SCRIPT_LINE_SIZE - 1 && line[length - 1] != '\n';
    if (r.longLine)
        Mended(r, "longer than " + std::to_string(SCRIPT_LINE_SIZE - 1) + " characters");
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
            Mended(r, std::string("the file ends inside ") + block);
            return;
        }
        int key = 0;
        bool number = SCRIPT_ParseInt(line, &key);
        line[strcspn(line, "\r\n")] = '\0';
        if (number && key >= 1 && key <= 255) {
            keys[i] = key; // read as ever, but noted when more than the number stood there
            if (!SCRIPT_IsWholeInt(line))
                Mended(r, "\"" + DDLogEscape(line) + "\" read as " + std::to_string(key));
            continue;
        }
        Mended(r, "\"" + DDLogEscape(line) + "\" is no key code");
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
    bool bare = SCRIPT_IsBareMarker(line); // looked at before the marker rule cuts the line
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
        Mended(r, "block marker not found");
        return;
    }
    // The marker is taken; anything else on its line is lost at the next save.
    if (!bare)
        Mended(r, "more than " + std::string(IniStrings[block]) + " on the line");
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
    IniDamage.clear();
    IniReader r = {};
    const char *keep = nullptr;
    r.f = Sys_OpenPlayerFile(IniFileName, &keep);
    if (!r.f && keep && strncmp(keep, "a ", 2) == 0) { // "a folder", "a FIFO", ...: never opened
        LeaveUntouched(keep);
        return;
    }
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
    // Opened but not readable (a device error).
    if (ferror(r.f)) {
        std::string because = std::string("unreadable (") + strerror(errno) + ")";
        DDErrorLog("ReadIniFile: Failed to read 'kordax.ini'.");
        LeaveUntouched(because.c_str());
    } else if (keep) {
        LeaveUntouched(keep); // read, but the player has made it read-only
    } else {
        IniDamage = r.damage;
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
    std::string copy;
    if (!IniDamage.empty() && !Sys_KeepDamaged(IniFileName, copy, &why)) {
        std::string message = std::string("WriteIniFile: Failed to keep a copy of the damaged 'kordax.ini' (") + why +
                              "), keys not saved.";
        DDErrorLogUrgent(message.c_str());
        return false;
    }
    if (!copy.empty()) {
        std::string message = "Information: 'kordax.ini' was damaged (" + IniDamage + "); its old bytes are kept in '" +
                              DDLogEscape(copy.c_str()) + "'.";
        DDErrorLog(message.c_str());
    }
    IniDamage.clear();
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
