// Replay playback: a source that answers from a journal alone, checks the frames, and ends the run when it cannot go on.
#include "sys_journal_codec.h"
#include "sys_file.h"
#include "sys_report.h"
#include "sys_screenshot.h"
#include "sys_util.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

enum PlayState { IDLE, PLAYING, DIVERGED, STOPPED, RAN_OUT };

static PlayState state = IDLE;
static bool playPaced = false;
static SysSource outer; // the source before playback: its clock paces a window, its events can stop it
static std::vector<uint8_t> playData;
static Inflater play;
static SysJournalHeader playHeader;
static DWORD playNow = 0, playFirst = 0;
static bool playClockSeen = false;
static DWORD wallStart = 0;
static long playFrames = 0;
static std::vector<JoyLast> playJoy;
static bool closeSent = false;

// Once the journal has nothing more to say, the run is closed as a player closes it, on a clock
// that flips and sleeps move.
static DWORD EndedClock() { return playNow; }
static void EndedSleep(DWORD ms) { playNow += ms; }
static bool EndedEvent(SysEvent &e)
{
    e = SysEvent();
    if (closeSent)
        return false;
    closeSent = true;
    e.kind = SysEvent::CLOSE;
    return true;
}
static void EndedFrame(const SysPicture &) { playNow += SYS_VIRTUAL_FRAME_MS; }
static int EndedAnswer(SysQuestion, int live) { return live; }
static int EndedJoysticks(SysJoystickInfo *, int) { return 0; }
static bool EndedJoystickOpen(int) { return false; }
static void EndedJoystickClose(int) {}
static void PlayJoystickRumble(int, int, int) {} // a replay moves no motors
static bool EndedJoystickRead(int, SysJoystickInput &) { return false; }

static void End(PlayState why)
{
    state = why;
    closeSent = false;
    sys_source = { EndedClock,     EndedSleep,        EndedEvent,         EndedFrame,        EndedAnswer,
                   EndedJoysticks, EndedJoystickOpen, EndedJoystickClose, EndedJoystickRead, PlayJoystickRumble };
}

static void Diverge()
{
    if (state != PLAYING)
        return;
    // A killed recording's journal ends mid-run: its last complete record is where it stops.
    if (play.cut && !play.bad) {
        End(RAN_OUT);
        return;
    }
    printf("replay diverged at frame %ld (%u ms)\n", playFrames, (unsigned)(playNow - playFirst));
    fflush(stdout);
    End(DIVERGED);
}

// In a window, Escape or closing it ends the playback; nothing else of the watcher's counts.
static void CheckStop()
{
    if (!playPaced || state != PLAYING)
        return;
    SysEvent e;
    while (outer.nextEvent(e)) {
        if (e.kind == SysEvent::CLOSE || (e.kind == SysEvent::KEY_DOWN && e.vk == VK_ESCAPE)) {
            printf("replay: stopped at frame %ld\n", playFrames);
            fflush(stdout);
            End(STOPPED);
            return;
        }
    }
}

// The next record, which must be of this kind; false (the run diverged) otherwise.
static bool Next(Record &r, uint8_t tag)
{
    if (Jnl_GetRecord(play, r) && r.tag == tag)
        return true;
    Diverge();
    return false;
}

static DWORD PlayClock()
{
    Record r;
    if (!Next(r, TAG_CLOCK))
        return EndedClock();
    playNow += (DWORD)(int32_t)r.value;
    if (!playClockSeen) {
        playClockSeen = true;
        playFirst = playNow;
        wallStart = outer.clock();
    }
    while (playPaced && state == PLAYING) {
        int32_t wait = (int32_t)(wallStart + (playNow - playFirst) - outer.clock());
        if (wait <= 0)
            break;
        outer.sleep((DWORD)std::min(wait, (int32_t)20));
        CheckStop();
    }
    return playNow;
}

static void PlaySleep(DWORD) {} // the clock keeps the pace

static bool PlayEvent(SysEvent &e)
{
    CheckStop();
    if (state != PLAYING)
        return EndedEvent(e);
    Record r;
    if (!Next(r, TAG_EVENT))
        return EndedEvent(e);
    e = r.event;
    return e.kind != SysEvent::NONE;
}

static void PlayFrame(const SysPicture &picture)
{
    Record r;
    if (!Jnl_GetRecord(play, r) || (r.tag != TAG_FRAME && r.tag != TAG_FRAME_SUM)) {
        Diverge();
        return;
    }
    playFrames++;
    if (r.tag == TAG_FRAME_SUM && r.sum != Jnl_PictureSum(picture))
        Diverge();
}

static int PlayAnswer(SysQuestion q, int live)
{
    Record r;
    if (!Next(r, TAG_ANSWER) || r.question != q) {
        Diverge();
        return live;
    }
    return (int)r.value;
}

static int PlayJoysticks(SysJoystickInfo *out, int max)
{
    Record r;
    if (!Next(r, TAG_JOY_LIST) || r.count > max) {
        Diverge();
        return 0;
    }
    std::copy(r.infos, r.infos + r.count, out);
    return r.count;
}

static bool PlayJoystickOpen(int id)
{
    Record r;
    if (!Next(r, TAG_JOY_OPEN) || r.id != id) {
        Diverge();
        return false;
    }
    return r.joyState != 0;
}

static void PlayJoystickClose(int) {}

static bool PlayJoystickRead(int id, SysJoystickInput &in)
{
    Record r;
    if (!Next(r, TAG_JOY_READ) || r.id != id) {
        Diverge();
        return false;
    }
    if (r.joyState == JOY_DETACHED)
        return false;
    if (r.joyState == JOY_SAME) {
        const SysJoystickInput *last = Jnl_LastInput(playJoy, id);
        if (!last) {
            Diverge();
            return false;
        }
        in = *last;
        return true;
    }
    in = r.input;
    Jnl_RememberInput(playJoy, id, in);
    return true;
}

bool Sys_StartPlayback(const std::string &path, bool paced, std::string &gameLine, std::string &error)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open replay " + path + " (" + strerror(errno) + ")";
        return false;
    }
    bool tooLarge;
    bool read = Sys_ReadAll(f, MaxJournalBytes, playData, tooLarge);
    fclose(f);
    if (!read) {
        error = "'" + path + "' " + (tooLarge ? "is too large for a replay" : "cannot be read");
        return false;
    }
    long frames;
    if (!Sys_CheckJournal(playData.data(), playData.size(), path, playHeader, frames, error))
        return false;
    if (playHeader.version != Sys_Version())
        Sys_Warn("%s was recorded by kordax %s; this is %s, so it may not play back the same", path.c_str(),
                 playHeader.version.c_str(), Sys_Version());
    SysJournalHeader again;
    Jnl_InflateStart(play, playData.data() + sizeof Magic + 1, playData.size() - sizeof Magic - 1);
    Jnl_GetHeader(play, again);
    Sys_ServePlayerFiles(true, playHeader.iniPresent ? &playHeader.ini : nullptr,
                         playHeader.scoresPresent ? &playHeader.scores : nullptr);
    gameLine = playHeader.gameLine;
    playPaced = paced;
    playNow = playFirst = 0;
    playClockSeen = false;
    playFrames = 0;
    playJoy.clear();
    outer = sys_source;
    sys_source = { PlayClock,     PlaySleep,        PlayEvent,         PlayFrame,       PlayAnswer,
                   PlayJoysticks, PlayJoystickOpen, PlayJoystickClose, PlayJoystickRead, PlayJoystickRumble };
    Sys_ScreenshotReplaying(true);
    state = PLAYING;
    return true;
}

bool Jnl_FinishPlayback(int scoreP1, int scoreP2, int &exitCode)
{
    if (state == IDLE)
        return false;
    Record r;
    if (state == PLAYING &&
        (!Jnl_GetRecord(play, r) || r.tag != TAG_END || r.frames != playFrames || r.p1 != scoreP1 || r.p2 != scoreP2))
        Diverge();
    if (state == PLAYING)
        printf("replay: %ld frames, scores %d %d, matched\n", playFrames, scoreP1, scoreP2);
    if (state == RAN_OUT)
        printf("replay: %ld frames, the recorded run stopped here (no end record)\n", playFrames);
    exitCode = state == DIVERGED ? 1 : 0;
    Jnl_InflateEnd(play);
    Sys_ScreenshotReplaying(false);
    state = IDLE;
    sys_source = outer;
    return true;
}
