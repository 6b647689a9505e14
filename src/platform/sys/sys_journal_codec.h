// The journal's format shared by its reader, recorder and playback (see docs/replays.md): records, varints, the inflater.
#pragma once

#include "sys_journal.h"
#include "sys_source.h"

#include <zlib.h>

#include <string>
#include <vector>

inline constexpr char Magic[8] = { 'K', 'X', 'R', 'E', 'P', 'L', 'A', 'Y' };
enum { FORMAT_VERSION = 1, NAME_BYTES = 259, MAX_REMEMBERED = 16 };
inline constexpr size_t MaxJournalBytes = 64u << 20;
inline constexpr size_t MaxPlayerFileBytes = 1u << 20;
inline constexpr size_t MaxTextBytes = 256;
inline constexpr DWORD ChecksumEveryMs = 1000;
inline constexpr size_t HandOverBytes = 64u << 10;

enum Tag : uint8_t {
    TAG_CLOCK = 1, TAG_EVENT, TAG_FRAME, TAG_FRAME_SUM, TAG_ANSWER, TAG_JOY_LIST, TAG_JOY_OPEN, TAG_JOY_READ, TAG_END
};
enum { JOY_DETACHED = 0, JOY_SAME = 1, JOY_NEW = 2 };

// The last input read from each device, so that a journal stores only changes.
struct JoyLast {
    int id;
    SysJoystickInput input;
};

struct Inflater {
    z_stream z;
    bool ready = false, done = false, bad = false;
    bool cut = false; // the data ran out before the stream's end: a recording that was killed
    std::vector<uint8_t> out = std::vector<uint8_t>(1 << 16);
    size_t have = 0, at = 0;
};

struct Record {
    uint8_t tag = 0;
    int64_t value = 0; // clock step, answer
    uint8_t question = 0;
    uint64_t sum = 0;
    SysEvent event;
    int id = 0;
    int joyState = 0; // JOY_DETACHED, JOY_SAME or JOY_NEW; opened for TAG_JOY_OPEN
    SysJoystickInput input = {};
    int count = 0;
    SysJoystickInfo infos[SYS_MAX_JOYSTICK_INFOS];
    int64_t frames = 0, p1 = 0, p2 = 0;
};

void Jnl_PutVarint(std::string &o, uint64_t v);
uint64_t Jnl_ZigZag(int64_t v);
void Jnl_PutText(std::string &o, const std::string &t);
bool Jnl_CarriesKey(int kind);
// The game's picture as it was flipped, summed.
uint64_t Jnl_PictureSum(const SysPicture &p);
const SysJoystickInput *Jnl_LastInput(const std::vector<JoyLast> &v, int id);
void Jnl_RememberInput(std::vector<JoyLast> &v, int id, const SysJoystickInput &in);
void Jnl_InflateEnd(Inflater &f);
bool Jnl_InflateStart(Inflater &f, const uint8_t *data, size_t size);
bool Jnl_GetByte(Inflater &f, uint8_t &b);
bool Jnl_GetRecord(Inflater &f, Record &r);
bool Jnl_GetHeader(Inflater &f, SysJournalHeader &h);

// The ends of a run: a recording stores the final scores and is closed (false when none runs); a
// playback checks them, prints its verdict and sets exitCode (false when none runs).
bool Jnl_FinishRecording(int scoreP1, int scoreP2);
bool Jnl_FinishPlayback(int scoreP1, int scoreP2, int &exitCode);
