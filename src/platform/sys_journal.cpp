// Replay journals: their format (docs/replays.md), the recorder and its writer thread, and playback.
#include "sys_journal.h"
#include "sys_file.h"
#include "sys_local.h"
#include "sys_source.h"
#include "win_dinput.h"

#include <SDL.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef KORDAX_VERSION
#define KORDAX_VERSION "unknown"
#endif

static const char Magic[8] = { 'K', 'X', 'R', 'E', 'P', 'L', 'A', 'Y' };
enum { FORMAT_VERSION = 1, NAME_BYTES = 259, MAX_REMEMBERED = 16 };
static const size_t MaxJournalBytes = 64u << 20;
static const size_t MaxPlayerFileBytes = 1u << 20;
static const size_t MaxTextBytes = 256;
static const DWORD ChecksumEveryMs = 1000;
static const size_t HandOverBytes = 64u << 10;

enum Tag : uint8_t {
    TAG_CLOCK = 1, TAG_EVENT, TAG_FRAME, TAG_FRAME_SUM, TAG_ANSWER, TAG_JOY_LIST, TAG_JOY_OPEN, TAG_JOY_READ, TAG_END
};
enum { JOY_DETACHED = 0, JOY_SAME = 1, JOY_NEW = 2 };

// ---- encoding ----

static void PutVarint(std::string &o, uint64_t v)
{
    while (v >= 0x80) {
        o += (char)(v | 0x80);
        v >>= 7;
    }
    o += (char)v;
}

static uint64_t ZigZag(int64_t v) { return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63); }
static int64_t UnZigZag(uint64_t u) { return (int64_t)(u >> 1) ^ -(int64_t)(u & 1); }

static void PutText(std::string &o, const std::string &t)
{
    PutVarint(o, t.size());
    o += t;
}

static bool CarriesKey(int kind)
{
    return kind == SysEvent::KEY_DOWN || kind == SysEvent::KEY_UP || kind == SysEvent::SCRIPT_DOWN ||
           kind == SysEvent::SCRIPT_UP || kind == SysEvent::SCRIPT_PRESS;
}

// The game's picture as it was flipped: Fletcher sums of its 8-byte words in eight interleaved
// lanes (any changed pixel changes them; vectorised, they run at memory speed), folded by FNV-1a's step.
static uint64_t PictureSum(const IDirectDrawSurface *p)
{
    const BYTE *b = p->pixels.data();
    size_t n = p->pixels.size(), i = 0;
    uint64_t sum[8] = {}, ofSums[8] = {};
    for (; i + 64 <= n; i += 64) {
        uint64_t w[8];
        memcpy(w, b + i, 64);
        for (int k = 0; k < 8; k++) {
            sum[k] += w[k];
            ofSums[k] += sum[k];
        }
    }
    for (; i < n; i++) {
        sum[0] += b[i];
        ofSums[0] += sum[0];
    }
    uint64_t h = 1469598103934665603ull;
    for (int k = 0; k < 8; k++) {
        h = (h ^ sum[k]) * 1099511628211ull;
        h = (h ^ ofSums[k]) * 1099511628211ull;
    }
    return h;
}

// The last input read from each device, so that a journal stores only changes.
struct JoyLast {
    int id;
    SysJoystickInput input;
};

static const SysJoystickInput *LastInput(const std::vector<JoyLast> &v, int id)
{
    for (const JoyLast &j : v)
        if (j.id == id)
            return &j.input;
    return nullptr;
}

static void RememberInput(std::vector<JoyLast> &v, int id, const SysJoystickInput &in)
{
    for (JoyLast &j : v)
        if (j.id == id) {
            j.input = in;
            return;
        }
    if (v.size() >= MAX_REMEMBERED)
        v.erase(v.begin());
    v.push_back({ id, in });
}

// ---- decoding: a journal's body is read a byte at a time out of the inflater ----

struct Inflater {
    z_stream z;
    bool ready = false, done = false, bad = false;
    std::vector<uint8_t> out = std::vector<uint8_t>(1 << 16);
    size_t have = 0, at = 0;
};

static void InflateEnd(Inflater &f)
{
    if (f.ready)
        inflateEnd(&f.z);
    f.ready = false;
}

static bool InflateStart(Inflater &f, const uint8_t *data, size_t size)
{
    InflateEnd(f);
    memset(&f.z, 0, sizeof f.z);
    f.done = f.bad = false;
    f.have = f.at = 0;
    if (inflateInit(&f.z) != Z_OK)
        return false;
    f.ready = true;
    f.z.next_in = const_cast<Bytef *>(data);
    f.z.avail_in = (uInt)size;
    return true;
}

static bool GetByte(Inflater &f, uint8_t &b)
{
    while (f.at == f.have) {
        if (f.done || f.bad || !f.ready)
            return false;
        f.z.next_out = f.out.data();
        f.z.avail_out = (uInt)f.out.size();
        int r = inflate(&f.z, Z_NO_FLUSH);
        f.have = f.out.size() - f.z.avail_out;
        f.at = 0;
        if (r == Z_STREAM_END)
            f.done = true;
        else if (r != Z_OK)
            f.bad = true; // damaged, or cut short (no input left)
    }
    b = f.out[f.at++];
    return true;
}

static bool GetVarint(Inflater &f, uint64_t &v)
{
    v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        uint8_t b;
        if (!GetByte(f, b))
            return false;
        v |= (uint64_t)(b & 0x7F) << shift;
        if (!(b & 0x80))
            return true;
    }
    return false;
}

static bool GetSigned(Inflater &f, int64_t &v, int64_t lo, int64_t hi)
{
    uint64_t u;
    if (!GetVarint(f, u))
        return false;
    v = UnZigZag(u);
    return v >= lo && v <= hi;
}

static bool GetText(Inflater &f, std::string &s, size_t limit)
{
    uint64_t n;
    if (!GetVarint(f, n) || n > limit)
        return false;
    s.clear();
    for (uint64_t i = 0; i < n; i++) {
        uint8_t b;
        if (!GetByte(f, b))
            return false;
        s += (char)b;
    }
    return true;
}

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

static bool GetId(Inflater &f, int &id)
{
    int64_t v;
    if (!GetSigned(f, v, INT32_MIN, INT32_MAX))
        return false;
    id = (int)v;
    return true;
}

static bool GetRecord(Inflater &f, Record &r)
{
    if (!GetByte(f, r.tag))
        return false;
    uint8_t b;
    uint64_t u;
    switch (r.tag) {
    case TAG_CLOCK: return GetSigned(f, r.value, INT32_MIN, INT32_MAX);
    case TAG_EVENT:
        if (!GetByte(f, b) || b >= SysEvent::COUNT)
            return false;
        r.event = SysEvent();
        r.event.kind = (SysEvent::Kind)b;
        if (!CarriesKey(b))
            return true;
        if (!GetVarint(f, u) || u < 1 || u > 255)
            return false;
        r.event.vk = (int)u;
        return true;
    case TAG_FRAME: return true;
    case TAG_FRAME_SUM:
        r.sum = 0;
        for (int i = 0; i < 8; i++) {
            if (!GetByte(f, b))
                return false;
            r.sum |= (uint64_t)b << (8 * i);
        }
        return true;
    case TAG_ANSWER:
        return GetByte(f, r.question) && r.question < SYS_Q_COUNT && GetSigned(f, r.value, INT32_MIN, INT32_MAX);
    case TAG_JOY_LIST:
        if (!GetVarint(f, u) || u > SYS_MAX_JOYSTICK_INFOS)
            return false;
        r.count = (int)u;
        for (int i = 0; i < r.count; i++) {
            SysJoystickInfo &info = r.infos[i];
            std::string name;
            if (!GetId(f, info.id))
                return false;
            for (uint8_t &p : info.product)
                if (!GetByte(f, p))
                    return false;
            if (!GetText(f, name, NAME_BYTES))
                return false;
            memcpy(info.name, name.c_str(), name.size() + 1);
        }
        return true;
    case TAG_JOY_OPEN:
        if (!GetId(f, r.id) || !GetByte(f, b) || b > 1)
            return false;
        r.joyState = b;
        return true;
    case TAG_JOY_READ:
        if (!GetId(f, r.id) || !GetByte(f, b) || b > JOY_NEW)
            return false;
        r.joyState = b;
        if (b != JOY_NEW)
            return true;
        for (SHORT &a : r.input.axes) {
            int64_t v;
            if (!GetSigned(f, v, -32768, 32767))
                return false;
            a = (SHORT)v;
        }
        for (BYTE &h : r.input.hats)
            if (!GetByte(f, h) || h > 15)
                return false;
        if (!GetVarint(f, u) || u > 0xFFFFFFFFu)
            return false;
        r.input.buttons = (DWORD)u;
        return true;
    case TAG_END:
        return GetSigned(f, r.frames, 0, INT32_MAX) && GetSigned(f, r.p1, INT32_MIN, INT32_MAX) &&
               GetSigned(f, r.p2, INT32_MIN, INT32_MAX);
    default: return false;
    }
}

static bool GetHeader(Inflater &f, SysJournalHeader &h)
{
    uint8_t ini, scores;
    if (!GetText(f, h.version, MaxTextBytes) || !GetText(f, h.gameLine, MaxTextBytes) || !GetByte(f, ini) || ini > 1 ||
        !GetText(f, h.ini, MaxPlayerFileBytes) || !GetByte(f, scores) || scores > 1 ||
        !GetText(f, h.scores, MaxPlayerFileBytes))
        return false;
    h.iniPresent = ini;
    h.scoresPresent = scores;
    return true;
}

bool Sys_CheckJournal(const uint8_t *data, size_t size, const std::string &name, SysJournalHeader &header,
                      long &frames, std::string &error)
{
    std::string quoted = "'" + name + "'";
    if (size == 0) {
        error = quoted + " is empty, not a replay";
        return false;
    }
    if (size < sizeof Magic + 1 || memcmp(data, Magic, sizeof Magic) != 0) {
        error = quoted + " is not a Kordax replay";
        return false;
    }
    if (data[sizeof Magic] != FORMAT_VERSION) {
        error = quoted + " is a replay of format " + std::to_string(data[sizeof Magic]) + "; this Kordax reads format " +
                std::to_string(FORMAT_VERSION);
        return false;
    }
    error = quoted + " is damaged or cut short; it cannot be replayed";
    Inflater f;
    frames = 0;
    bool ok = false;
    if (InflateStart(f, data + sizeof Magic + 1, size - sizeof Magic - 1) && GetHeader(f, header)) {
        Record r;
        while (GetRecord(f, r)) {
            if (r.tag == TAG_FRAME || r.tag == TAG_FRAME_SUM)
                frames++;
            if (r.tag != TAG_END)
                continue;
            uint8_t extra;
            ok = r.frames == frames && !GetByte(f, extra) && f.done && f.z.avail_in == 0;
            break;
        }
    }
    InflateEnd(f);
    if (ok)
        error.clear();
    return ok;
}

// ---- recording ----

static bool recording = false;
static SysSource inner; // the source the recorder wraps
static std::string buffer; // records not yet handed to the writer
static DWORD recLast = 0, recLastSum = 0;
static long recFrames = 0;
static std::vector<JoyLast> recJoy;
static std::string recPath;

// The writer: compresses and writes on its own thread, so a slow disk never holds up a frame.
static std::thread writer;
static std::mutex writerLock;
static std::condition_variable writerWake;
static std::string writerQueue;
static bool writerFinish = false;
static std::atomic<bool> writerFailed{ false };
static FILE *journalFile = nullptr;
static z_stream deflater;

static void WriterFail()
{
    if (!writerFailed.exchange(true))
        fprintf(stderr, "kordax: replay recording stopped: cannot write %s (%s)\n", recPath.c_str(), strerror(errno));
}

static void Compress(const std::string &chunk, bool finish)
{
    deflater.next_in = (Bytef *)const_cast<char *>(chunk.data());
    deflater.avail_in = (uInt)chunk.size();
    unsigned char out[1 << 15];
    int r;
    do {
        deflater.next_out = out;
        deflater.avail_out = sizeof out;
        r = deflate(&deflater, finish ? Z_FINISH : Z_NO_FLUSH);
        size_t n = sizeof out - deflater.avail_out;
        if (n && fwrite(out, 1, n, journalFile) != n) {
            WriterFail();
            return;
        }
    } while (finish ? r == Z_OK || r == Z_BUF_ERROR : deflater.avail_out == 0);
    if (fflush(journalFile) != 0)
        WriterFail();
}

static void WriterMain()
{
    std::string chunk;
    for (;;) {
        bool finish;
        {
            std::unique_lock<std::mutex> hold(writerLock);
            writerWake.wait(hold, [] { return !writerQueue.empty() || writerFinish; });
            chunk.clear();
            chunk.swap(writerQueue);
            finish = writerFinish;
        }
        if (!writerFailed)
            Compress(chunk, finish);
        if (finish)
            return;
    }
}

static void HandOver(bool finish)
{
    {
        std::lock_guard<std::mutex> hold(writerLock);
        writerQueue += buffer;
        writerFinish = finish;
    }
    buffer.clear();
    writerWake.notify_one();
}

static void CloseRecording()
{
    HandOver(true);
    writer.join();
    deflateEnd(&deflater);
    if (fclose(journalFile) != 0)
        WriterFail();
    journalFile = nullptr;
    recording = false;
    sys_source = inner;
}

static void Put(uint8_t tag) { buffer += (char)tag; }

static DWORD RecClock()
{
    DWORD t = inner.clock();
    Put(TAG_CLOCK);
    PutVarint(buffer, ZigZag((int32_t)(t - recLast)));
    recLast = t;
    return t;
}

static void RecSleep(DWORD ms) { inner.sleep(ms); }

static bool RecEvent(SysEvent &e)
{
    bool got = inner.nextEvent(e);
    if (!got)
        e = SysEvent();
    Put(TAG_EVENT);
    buffer += (char)e.kind;
    if (CarriesKey(e.kind))
        PutVarint(buffer, (uint64_t)e.vk);
    return got;
}

// Between frames: a checksum now and then, and the records so far to the writer.
static void RecFrame(const IDirectDrawSurface *picture)
{
    inner.frameShown(picture);
    if (++recFrames == 1 || recLast - recLastSum >= ChecksumEveryMs) {
        Put(TAG_FRAME_SUM);
        uint64_t sum = PictureSum(picture);
        for (int i = 0; i < 8; i++)
            buffer += (char)(sum >> (8 * i));
        recLastSum = recLast;
    } else {
        Put(TAG_FRAME);
    }
    if (writerFailed)
        CloseRecording();
    else if (buffer.size() >= HandOverBytes)
        HandOver(false);
}

static int RecAnswer(SysQuestion q, int live)
{
    int a = inner.answer(q, live);
    Put(TAG_ANSWER);
    buffer += (char)q;
    PutVarint(buffer, ZigZag(a));
    return a;
}

static int RecJoysticks(SysJoystickInfo *out, int max)
{
    int n = inner.joysticks(out, std::min(max, (int)SYS_MAX_JOYSTICK_INFOS));
    Put(TAG_JOY_LIST);
    PutVarint(buffer, (uint64_t)n);
    for (int i = 0; i < n; i++) {
        PutVarint(buffer, ZigZag(out[i].id));
        buffer.append((const char *)out[i].product, sizeof out[i].product);
        PutText(buffer, std::string(out[i].name, strnlen(out[i].name, NAME_BYTES)));
    }
    return n;
}

static bool RecJoystickOpen(int id)
{
    bool opened = inner.joystickOpen(id);
    Put(TAG_JOY_OPEN);
    PutVarint(buffer, ZigZag(id));
    buffer += (char)opened;
    return opened;
}

static void RecJoystickClose(int id) { inner.joystickClose(id); }

static bool RecJoystickRead(int id, SysJoystickInput &in)
{
    bool attached = inner.joystickRead(id, in);
    Put(TAG_JOY_READ);
    PutVarint(buffer, ZigZag(id));
    const SysJoystickInput *last = LastInput(recJoy, id);
    if (!attached) {
        buffer += (char)JOY_DETACHED;
    } else if (last && memcmp(last, &in, sizeof in) == 0) {
        buffer += (char)JOY_SAME;
    } else {
        buffer += (char)JOY_NEW;
        for (SHORT a : in.axes)
            PutVarint(buffer, ZigZag(a));
        for (BYTE h : in.hats)
            buffer += (char)(h & 15);
        PutVarint(buffer, in.buttons);
        RememberInput(recJoy, id, in);
    }
    return attached;
}

// A player's file as it is at start, for the header; false when it is too large to keep.
static bool ReadPlayerFile(const char *name, bool &present, std::string &bytes)
{
    bytes.clear();
    FILE *f = Sys_FOpen(name, "rb");
    present = f != nullptr;
    if (!f)
        return true;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= MaxPlayerFileBytes)
        bytes.append(chunk, n);
    fclose(f);
    return bytes.size() <= MaxPlayerFileBytes;
}

bool Sys_StartRecording(const std::string &path, const std::string &gameLine, std::string &error)
{
    SysJournalHeader h;
    if (!ReadPlayerFile("kordax.ini", h.iniPresent, h.ini) || !ReadPlayerFile("kx_scores.dat", h.scoresPresent, h.scores) ||
        gameLine.size() > MaxTextBytes) {
        error = "this run is not recorded: a player's file or the command line is too large for a replay";
        return false;
    }
    journalFile = fopen(path.c_str(), "wb");
    if (!journalFile) {
        error = "cannot record to " + path + " (" + strerror(errno) + ")";
        return false;
    }
    memset(&deflater, 0, sizeof deflater);
    if (deflateInit(&deflater, Z_DEFAULT_COMPRESSION) != Z_OK) {
        fclose(journalFile);
        error = "cannot record to " + path + " (out of memory)";
        return false;
    }
    fwrite(Magic, 1, sizeof Magic, journalFile);
    fputc(FORMAT_VERSION, journalFile);
    buffer.clear();
    PutText(buffer, KORDAX_VERSION);
    PutText(buffer, gameLine);
    buffer += (char)h.iniPresent;
    PutText(buffer, h.ini);
    buffer += (char)h.scoresPresent;
    PutText(buffer, h.scores);
    recPath = path;
    recLast = recLastSum = 0;
    recFrames = 0;
    recJoy.clear();
    writerFinish = false;
    writerFailed = false;
    writer = std::thread(WriterMain);
    inner = sys_source;
    sys_source = { RecClock,   RecSleep,        RecEvent,         RecFrame,       RecAnswer,
                   RecJoysticks, RecJoystickOpen, RecJoystickClose, RecJoystickRead };
    recording = true;
    return true;
}

// ---- playback ----

static bool playing = false;
static bool playPaced = false;
static std::vector<uint8_t> playData;
static Inflater play;
static SysJournalHeader playHeader;
static DWORD playNow = 0, playFirst = 0;
static bool playClockSeen = false;
static Uint32 wallStart = 0;
static long playFrames = 0;
static std::vector<JoyLast> playJoy;

[[noreturn]] static void Diverge()
{
    printf("replay diverged at frame %ld (%u ms)\n", playFrames, (unsigned)(playNow - playFirst));
    fflush(nullptr);
    _exit(1);
}

// In a window, Escape or closing it ends the playback; nothing else of the player's counts.
static void CheckStop()
{
    if (!playPaced)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) ||
            (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE)) {
            printf("replay: stopped at frame %ld\n", playFrames);
            fflush(nullptr);
            _exit(0);
        }
    }
}

static void Next(Record &r, uint8_t tag)
{
    if (!GetRecord(play, r) || r.tag != tag)
        Diverge();
}

static DWORD PlayClock()
{
    Record r;
    Next(r, TAG_CLOCK);
    playNow += (DWORD)(int32_t)r.value;
    if (!playClockSeen) {
        playClockSeen = true;
        playFirst = playNow;
        wallStart = SDL_GetTicks();
    }
    while (playPaced) {
        Sint32 wait = (Sint32)(wallStart + (playNow - playFirst) - SDL_GetTicks());
        if (wait <= 0)
            break;
        SDL_Delay((Uint32)std::min(wait, (Sint32)20));
        CheckStop();
    }
    return playNow;
}

static void PlaySleep(DWORD) {} // the clock keeps the pace

static bool PlayEvent(SysEvent &e)
{
    CheckStop();
    Record r;
    Next(r, TAG_EVENT);
    e = r.event;
    return e.kind != SysEvent::NONE;
}

static void PlayFrame(const IDirectDrawSurface *picture)
{
    Record r;
    if (!GetRecord(play, r) || (r.tag != TAG_FRAME && r.tag != TAG_FRAME_SUM))
        Diverge();
    playFrames++;
    if (r.tag == TAG_FRAME_SUM && r.sum != PictureSum(picture))
        Diverge();
}

static int PlayAnswer(SysQuestion q, int)
{
    Record r;
    Next(r, TAG_ANSWER);
    if (r.question != q)
        Diverge();
    return (int)r.value;
}

static int PlayJoysticks(SysJoystickInfo *out, int max)
{
    Record r;
    Next(r, TAG_JOY_LIST);
    if (r.count > max)
        Diverge();
    std::copy(r.infos, r.infos + r.count, out);
    return r.count;
}

static bool PlayJoystickOpen(int id)
{
    Record r;
    Next(r, TAG_JOY_OPEN);
    if (r.id != id)
        Diverge();
    return r.joyState != 0;
}

static void PlayJoystickClose(int) {}

static bool PlayJoystickRead(int id, SysJoystickInput &in)
{
    Record r;
    Next(r, TAG_JOY_READ);
    if (r.id != id)
        Diverge();
    if (r.joyState == JOY_DETACHED)
        return false;
    if (r.joyState == JOY_SAME) {
        const SysJoystickInput *last = LastInput(playJoy, id);
        if (!last)
            Diverge();
        in = *last;
        return true;
    }
    in = r.input;
    RememberInput(playJoy, id, in);
    return true;
}

bool Sys_StartPlayback(const std::string &path, bool paced, std::string &gameLine, std::string &error)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open replay " + path + " (" + strerror(errno) + ")";
        return false;
    }
    playData.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0 && playData.size() <= MaxJournalBytes)
        playData.insert(playData.end(), chunk, chunk + n);
    bool readError = ferror(f) != 0;
    fclose(f);
    if (readError || playData.size() > MaxJournalBytes) {
        error = "'" + path + "' " + (readError ? "cannot be read" : "is too large for a replay");
        return false;
    }
    long frames;
    if (!Sys_CheckJournal(playData.data(), playData.size(), path, playHeader, frames, error))
        return false;
    if (playHeader.version != KORDAX_VERSION)
        fprintf(stderr, "kordax: %s was recorded by kordax %s; this is %s, so it may not play back the same\n",
                path.c_str(), playHeader.version.c_str(), KORDAX_VERSION);
    SysJournalHeader again;
    InflateStart(play, playData.data() + sizeof Magic + 1, playData.size() - sizeof Magic - 1);
    GetHeader(play, again);
    Sys_ServePlayerFiles(true, playHeader.iniPresent ? &playHeader.ini : nullptr,
                         playHeader.scoresPresent ? &playHeader.scores : nullptr);
    gameLine = playHeader.gameLine;
    playPaced = paced;
    playNow = playFirst = 0;
    playClockSeen = false;
    playFrames = 0;
    playJoy.clear();
    sys_source = { PlayClock,     PlaySleep,        PlayEvent,         PlayFrame,       PlayAnswer,
                   PlayJoysticks, PlayJoystickOpen, PlayJoystickClose, PlayJoystickRead };
    sys_virtualClock = false; // the journal's clock needs no pushing
    playing = true;
    return true;
}

int Sys_FinishJournal(int result, int scoreP1, int scoreP2)
{
    if (recording) {
        Put(TAG_END);
        PutVarint(buffer, ZigZag(recFrames));
        PutVarint(buffer, ZigZag(scoreP1));
        PutVarint(buffer, ZigZag(scoreP2));
        CloseRecording();
        return result;
    }
    if (!playing)
        return result;
    Record r;
    if (!GetRecord(play, r) || r.tag != TAG_END || r.frames != playFrames || r.p1 != scoreP1 || r.p2 != scoreP2)
        Diverge();
    printf("replay: %ld frames, scores %d %d, matched\n", playFrames, scoreP1, scoreP2);
    InflateEnd(play);
    playing = false;
    return 0;
}

// ---- the installed game's own recordings ----

std::string Sys_NewReplayPath(const std::string &folder, int keep)
{
    if (!Sys_MakeFolders(folder)) {
        fprintf(stderr, "kordax: this run is not recorded: cannot create %s (%s)\n", folder.c_str(), strerror(errno));
        return "";
    }
    std::vector<std::string> old;
    if (DIR *d = opendir(folder.c_str())) {
        while (const dirent *e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 11 && name.compare(0, 7, "kordax-") == 0 && name.compare(name.size() - 4, 4, ".kxr") == 0)
                old.push_back(name);
        }
        closedir(d);
    }
    std::sort(old.begin(), old.end());
    for (size_t i = 0; i + (size_t)std::max(keep - 1, 0) < old.size(); i++)
        unlink((folder + "/" + old[i]).c_str());
    std::string stamp = Sys_TimeStamp();
    // A counter after the time keeps names of the same second in order.
    std::string path;
    for (int k = 1; k < 100 && (path.empty() || access(path.c_str(), F_OK) == 0); k++)
        path = folder + "/kordax-" + stamp + (k < 10 ? "-0" : "-") + std::to_string(k) + ".kxr";
    return path;
}
