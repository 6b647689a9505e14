// The diagnostic log, the clock and the names of display result codes.
#include "dd_log.h"
#include "sys_file.h"
#include "sys_util.h"
#include "win_time.h"

#include <string>
#include <vector>

FILE *ErrorLog = nullptr;
UINT TimerRes = 0;
bool TimerResSet = false;
DWORD start_clock_count = 0;

// A line that keeps coming back (a draw error every frame) is written LogRepeatWrite times, then
// only counted; the count goes out at most once a minute and when the log closes. The table is
// bounded: once full, new lines are written without being counted.
enum { LogRepeatWrite = 10, LogRepeatSlots = 128 };
static const DWORD LogSummaryMs = 60000;

struct LogRepeat {
    std::string text;
    unsigned long seen;
    unsigned long held; // copies counted and not yet summarised
};
static std::vector<LogRepeat> repeats;
static DWORD lastSummary = 0;

static void WriteSummaries()
{
    for (LogRepeat &r : repeats) {
        if (!r.held)
            continue;
        // Named without its own "ErrorLog: ", so the summary reads as one line of the log.
        const char *text = r.text.c_str();
        if (r.text.rfind("ErrorLog: ", 0) == 0)
            text += 10;
        if (ErrorLog)
            fprintf(ErrorLog, "ErrorLog: last message repeated %lu times: %s\n", r.held, text);
        r.held = 0;
    }
    if (ErrorLog)
        fflush(ErrorLog);
    lastSummary = GetClock();
}

// True when the line should be written; false when it is only counted.
static bool CountLine(const std::string &line)
{
    if ((DWORD)(GetClock() - lastSummary) >= LogSummaryMs)
        WriteSummaries();
    for (LogRepeat &r : repeats) {
        if (r.text != line)
            continue;
        if (++r.seen <= LogRepeatWrite)
            return true;
        r.held++;
        return false;
    }
    if (repeats.size() < LogRepeatSlots)
        repeats.push_back({ line, 1, 0 });
    return true;
}

void DDResetLogRepeats()
{
    repeats.clear();
    lastSummary = GetClock();
}

void DDOpenErrorLog()
{
    if (ErrorLog)
        return;
    ErrorLog = Sys_FOpen("dderrors.log", "w");
    DDResetLogRepeats();
}

// False when the line could not be written (a full disk).
static bool WriteLine(const std::string &line)
{
    if (!CountLine(line))
        return true;
    bool ok = fputs(line.c_str(), ErrorLog) >= 0;
    ok = fputc('\n', ErrorLog) != EOF && ok;
    return fflush(ErrorLog) == 0 && ok;
}

// One "ErrorLog: " line; false when there is no log or it could not be written.
static bool LogText(const char *text)
{
    return ErrorLog && WriteLine(std::string("ErrorLog: ") + (text ? text : "(null)"));
}

void DDErrorLog(const char *text) { LogText(text); }

void DDErrorLogUrgent(const char *text)
{
    if (LogText(text))
        return;
    fprintf(stderr, "kordax: %s\n", text ? text : "(null)");
}

bool DDFailCheck(long result, const char *text)
{
    if ((HRESULT)result >= 0)
        return false;
    if (ErrorLog)
        WriteLine(std::string(text ? text : "(null)") + " (" + DDErrorString(result) + ")");
    return true;
}

void DDCloseErrorLog()
{
    if (!ErrorLog)
        return;
    WriteSummaries();
    fclose(ErrorLog);
    ErrorLog = nullptr;
    repeats.clear();
}

std::string DDLogEscape(const char *text) { return Sys_Escape(text ? text : ""); }

void DDErrorLogRead(const char *line)
{
    std::string text(line ? line : "");
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.erase(end); // the log adds its own line end
    DDErrorLog(DDLogEscape(text.c_str()).c_str());
}

static std::string lastFileProblem;

void DDForgetFileProblem() { lastFileProblem.clear(); }

void DDLogFile(const char *name, long long sizeLimit)
{
    const char *problem = Sys_FileProblem(name, sizeLimit);
    lastFileProblem = DDLogEscape(name) + " (" + (problem ? problem : "damaged") + ")";
    DDErrorLog(("  file: " + lastFileProblem).c_str());
}

const char *DDLastFileProblem() { return lastFileProblem.c_str(); }

struct DDErrorName {
    DWORD code;
    const char *name;
};

#define DDE(n, name) { 0x88760000u + (n), #name }
static const DDErrorName ErrorNames[] = {
    { 0x80004001u, "DDERR_UNSUPPORTED" },
    { 0x80004005u, "DDERR_GENERIC" },
    { 0x800401F0u, "DDERR_NOTINITIALIZED" },
    { 0x8007000Eu, "DDERR_OUTOFMEMORY" },
    { 0x80070057u, "DDERR_INVALIDPARAMS" },
    DDE(5, DDERR_ALREADYINITIALIZED), DDE(10, DDERR_CANNOTATTACHSURFACE),
    DDE(20, DDERR_CANNOTDETACHSURFACE), DDE(40, DDERR_CURRENTLYNOTAVAIL), DDE(55, DDERR_EXCEPTION),
    DDE(90, DDERR_HEIGHTALIGN), DDE(95, DDERR_INCOMPATIBLE_PRIMARY), DDE(100, DDERR_INVALIDCAPS),
    DDE(110, DDERR_INVALIDCLIPLIST), DDE(120, DDERR_INVALIDMODE), DDE(130, DDERR_INVALIDOBJECT),
    DDE(145, DDERR_INVALIDPIXELFORMAT), DDE(150, DDERR_INVALIDRECT), DDE(160, DDERR_LOCKEDSURFACES),
    DDE(170, DDERR_NO3D), DDE(180, DDERR_NOALPHAHW), DDE(205, DDERR_NOCLIPLIST),
    DDE(210, DDERR_NOCOLORCONVHW), DDE(212, DDERR_NOCOOPERATIVELEVELSET), DDE(215, DDERR_NOCOLORKEY),
    DDE(220, DDERR_NOCOLORKEYHW), DDE(222, DDERR_NODIRECTDRAWSUPPORT), DDE(225, DDERR_NOEXCLUSIVEMODE),
    DDE(230, DDERR_NOFLIPHW), DDE(240, DDERR_NOGDI), DDE(250, DDERR_NOMIRRORHW), DDE(255, DDERR_NOTFOUND),
    DDE(260, DDERR_NOOVERLAYHW), DDE(280, DDERR_NORASTEROPHW), DDE(290, DDERR_NOROTATIONHW),
    DDE(310, DDERR_NOSTRETCHHW), DDE(316, DDERR_NOT4BITCOLOR), DDE(317, DDERR_NOT4BITCOLORINDEX),
    DDE(320, DDERR_NOT8BITCOLOR), DDE(330, DDERR_NOTEXTUREHW), DDE(335, DDERR_NOVSYNCHW),
    DDE(340, DDERR_NOZBUFFERHW), DDE(350, DDERR_NOZOVERLAYHW), DDE(360, DDERR_OUTOFCAPS),
    DDE(380, DDERR_OUTOFVIDEOMEMORY), DDE(382, DDERR_OVERLAYCANTCLIP),
    DDE(384, DDERR_OVERLAYCOLORKEYONLYONEACTIVE), DDE(387, DDERR_PALETTEBUSY),
    DDE(400, DDERR_COLORKEYNOTSET), DDE(410, DDERR_SURFACEALREADYATTACHED),
    DDE(420, DDERR_SURFACEALREADYDEPENDENT), DDE(430, DDERR_SURFACEBUSY), DDE(435, DDERR_CANTLOCKSURFACE),
    DDE(440, DDERR_SURFACEISOBSCURED), DDE(450, DDERR_SURFACELOST), DDE(460, DDERR_SURFACENOTATTACHED),
    DDE(470, DDERR_TOOBIGHEIGHT), DDE(480, DDERR_TOOBIGSIZE), DDE(490, DDERR_TOOBIGWIDTH),
    DDE(510, DDERR_UNSUPPORTEDFORMAT), DDE(520, DDERR_UNSUPPORTEDMASK),
    DDE(537, DDERR_VERTICALBLANKINPROGRESS), DDE(540, DDERR_WASSTILLDRAWING), DDE(560, DDERR_XALIGN),
    DDE(561, DDERR_INVALIDDIRECTDRAWGUID), DDE(562, DDERR_DIRECTDRAWALREADYCREATED),
    DDE(563, DDERR_NODIRECTDRAWHW), DDE(564, DDERR_PRIMARYSURFACEALREADYEXISTS),
    DDE(565, DDERR_NOEMULATION), DDE(566, DDERR_REGIONTOOSMALL), DDE(567, DDERR_CLIPPERISUSINGHWND),
    DDE(568, DDERR_NOCLIPPERATTACHED), DDE(569, DDERR_NOHWND), DDE(570, DDERR_HWNDSUBCLASSED),
    DDE(571, DDERR_HWNDALREADYSET), DDE(572, DDERR_NOPALETTEATTACHED), DDE(573, DDERR_NOPALETTEHW),
    DDE(574, DDERR_BLTFASTCANTCLIP), DDE(575, DDERR_NOBLTHW), DDE(576, DDERR_NODDROPSHW),
    DDE(577, DDERR_OVERLAYNOTVISIBLE), DDE(578, DDERR_NOOVERLAYDEST), DDE(579, DDERR_INVALIDPOSITION),
    DDE(580, DDERR_NOTAOVERLAYSURFACE), DDE(581, DDERR_EXCLUSIVEMODEALREADYSET),
    DDE(582, DDERR_NOTFLIPPABLE), DDE(583, DDERR_CANTDUPLICATE), DDE(584, DDERR_NOTLOCKED),
    DDE(585, DDERR_CANTCREATEDC), DDE(586, DDERR_NODC), DDE(587, DDERR_WRONGMODE),
    DDE(588, DDERR_IMPLICITLYCREATED), DDE(589, DDERR_NOTPALETTIZED), DDE(590, DDERR_UNSUPPORTEDMODE),
    DDE(591, DDERR_NOMIPMAPHW), DDE(592, DDERR_INVALIDSURFACETYPE), DDE(620, DDERR_DCALREADYCREATED),
    DDE(640, DDERR_CANTPAGELOCK), DDE(660, DDERR_CANTPAGEUNLOCK), DDE(680, DDERR_NOTPAGELOCKED),
};
#undef DDE

const char *DDErrorString(long result)
{
    DWORD code = (DWORD)result;
    for (const DDErrorName &e : ErrorNames)
        if (e.code == code)
            return e.name;
    return "UNKNOWN ERROR";
}

// Exposed for the table's own test.
int DDErrorCount() { return (int)(sizeof ErrorNames / sizeof ErrorNames[0]); }

void DDSetTimerResolution()
{
    TIMECAPS caps;
    if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) {
        DDErrorLog("Couldn't get time device caps");
        return;
    }
    TimerRes = caps.wPeriodMin < 1 ? 1 : caps.wPeriodMin;
    if (TimerRes > caps.wPeriodMax)
        TimerRes = caps.wPeriodMax;
    timeBeginPeriod(TimerRes);
    TimerResSet = true;
}

void DDEndTimerResolution()
{
    if (!TimerResSet)
        return;
    timeEndPeriod(TimerRes);
    TimerResSet = false;
}

// While anything holds the clock the game's time stands still; the held stretches are left out
// of every later reading, so no timer jumps when it runs again. Unsigned arithmetic keeps this
// right across the platform clock's wrap and for holds of up to 2^32 ms.
static unsigned ClockHolds = 0;
static DWORD ClockHeldAt = 0; // platform reading when the holds began
static DWORD ClockLeftOut = 0; // held time so far

DWORD GetClock() { return (ClockHolds ? ClockHeldAt : timeGetTime()) - ClockLeftOut; }

void HoldClock(unsigned reason)
{
    if (!ClockHolds && reason)
        ClockHeldAt = timeGetTime();
    ClockHolds |= reason;
}

void ReleaseClock(unsigned reason)
{
    if (!(ClockHolds & reason))
        return;
    ClockHolds &= ~reason;
    if (!ClockHolds)
        ClockLeftOut += timeGetTime() - ClockHeldAt;
}

bool ClockHeld(unsigned reason) { return (ClockHolds & reason) != 0; }

void ResetClockHolds() { ClockHolds = ClockHeldAt = ClockLeftOut = 0; }

void StartClock() { start_clock_count = GetClock(); }

DWORD WaitClock(unsigned long ms)
{
    // A held clock would never get there.
    while (!ClockHolds && (DWORD)(GetClock() - start_clock_count) < ms) {
        Sleep(1); // and a virtual clock moves only when slept on
    }
    return GetClock();
}
