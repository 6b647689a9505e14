// The replay recorder: wraps the source in use, keeps every answer it gives, and a thread compresses and writes them.
#include "sys_journal_codec.h"
#include "sys_file.h"
#include "sys_report.h"
#include "sys_util.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <sys/file.h>

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
static bool writerFlush = false; // make what is queued readable on the disk (a sync flush)
static std::atomic<bool> writerFailed{ false };
static int writerError = 0;
static bool writerFailSaid = false;
static FILE *journalFile = nullptr;
static z_stream deflater;

// On the writer thread: said once the run is back on the main thread, which owns the report path.
static void WriterFail()
{
    if (writerFailed)
        return;
    writerError = errno;
    writerFailed = true;
}

static void SayWriterFailed()
{
    Sys_WarnOnce(writerFailSaid, "replay recording stopped: cannot write %s (%s)", recPath.c_str(),
                 strerror(writerError));
}

static void Compress(const std::string &chunk, int flush)
{
    deflater.next_in = (Bytef *)const_cast<char *>(chunk.data());
    deflater.avail_in = (uInt)chunk.size();
    unsigned char out[1 << 15];
    int r;
    do {
        deflater.next_out = out;
        deflater.avail_out = sizeof out;
        r = deflate(&deflater, flush);
        size_t n = sizeof out - deflater.avail_out;
        if (n && fwrite(out, 1, n, journalFile) != n) {
            WriterFail();
            return;
        }
    } while (flush == Z_FINISH ? r == Z_OK || r == Z_BUF_ERROR : deflater.avail_out == 0);
    if (fflush(journalFile) != 0)
        WriterFail();
}

// One hand-over's bytes through the compressor; the end of the run finishes the stream, and a flush
// leaves what was written so far readable.
static void Write(const std::string &chunk, bool finish, bool flush)
{
    if (!writerFailed)
        Compress(chunk, finish ? Z_FINISH : flush ? Z_SYNC_FLUSH : Z_NO_FLUSH);
}

static void WriterMain()
{
    std::string chunk;
    for (;;) {
        bool finish, flush;
        {
            std::unique_lock<std::mutex> hold(writerLock);
            writerWake.wait(hold, [] { return !writerQueue.empty() || writerFinish; });
            chunk.clear();
            chunk.swap(writerQueue);
            finish = writerFinish;
            flush = writerFlush;
            writerFlush = false;
        }
        Write(chunk, finish, flush);
        if (finish)
            return;
    }
}

// The one place that chooses: a build without threads compresses and writes on the main thread.
#ifndef KORDAX_JOURNAL_INLINE
#define KORDAX_JOURNAL_INLINE 0
#endif

// The queue always ends at a frame's end, so a flush leaves only whole frames readable.
static void HandOver(bool finish, bool flush = false)
{
    if (KORDAX_JOURNAL_INLINE) {
        Write(buffer, finish, flush);
        buffer.clear();
        return;
    }
    {
        std::lock_guard<std::mutex> hold(writerLock);
        writerQueue += buffer;
        writerFinish = finish;
        writerFlush = writerFlush || flush;
    }
    buffer.clear();
    writerWake.notify_one();
}

static void CloseRecording()
{
    HandOver(true);
    if (writer.joinable())
        writer.join();
    deflateEnd(&deflater);
    if (fclose(journalFile) != 0)
        WriterFail();
    journalFile = nullptr;
    if (writerFailed)
        SayWriterFailed();
    recording = false;
    sys_source = inner;
}

static void Put(uint8_t tag) { buffer += (char)tag; }

static DWORD RecClock()
{
    DWORD t = inner.clock();
    Put(TAG_CLOCK);
    Jnl_PutVarint(buffer, Jnl_ZigZag((int32_t)(t - recLast)));
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
    if (Jnl_CarriesKey(e.kind))
        Jnl_PutVarint(buffer, (uint64_t)e.vk);
    return got;
}

// Between frames: a checksum now and then, and the records so far to the writer. Each checksum
// is also flushed to the disk, so a run killed at any moment leaves a journal that plays up to
// within a second of where it stopped.
static void RecFrame(const SysPicture &picture)
{
    inner.frameShown(picture);
    bool checked = ++recFrames == 1 || recLast - recLastSum >= ChecksumEveryMs;
    if (checked) {
        Put(TAG_FRAME_SUM);
        uint64_t sum = Jnl_PictureSum(picture);
        for (int i = 0; i < 8; i++)
            buffer += (char)(sum >> (8 * i));
        recLastSum = recLast;
    } else {
        Put(TAG_FRAME);
    }
    if (writerFailed)
        CloseRecording();
    else if (checked || buffer.size() >= HandOverBytes)
        HandOver(false, checked);
}

static int RecAnswer(SysQuestion q, int live)
{
    int a = inner.answer(q, live);
    Put(TAG_ANSWER);
    buffer += (char)q;
    Jnl_PutVarint(buffer, Jnl_ZigZag(a));
    return a;
}

static int RecJoysticks(SysJoystickInfo *out, int max)
{
    int n = inner.joysticks(out, std::min(max, (int)SYS_MAX_JOYSTICK_INFOS));
    Put(TAG_JOY_LIST);
    Jnl_PutVarint(buffer, (uint64_t)n);
    for (int i = 0; i < n; i++) {
        Jnl_PutVarint(buffer, Jnl_ZigZag(out[i].id));
        buffer.append((const char *)out[i].product, sizeof out[i].product);
        Jnl_PutText(buffer, std::string(out[i].name, strnlen(out[i].name, NAME_BYTES)));
    }
    return n;
}

static bool RecJoystickOpen(int id)
{
    bool opened = inner.joystickOpen(id);
    Put(TAG_JOY_OPEN);
    Jnl_PutVarint(buffer, Jnl_ZigZag(id));
    buffer += (char)opened;
    return opened;
}

static void RecJoystickClose(int id) { inner.joystickClose(id); }
static void RecJoystickRumble(int id, int strength, int ms) { inner.joystickRumble(id, strength, ms); }

static bool RecJoystickRead(int id, SysJoystickInput &in)
{
    bool attached = inner.joystickRead(id, in);
    Put(TAG_JOY_READ);
    Jnl_PutVarint(buffer, Jnl_ZigZag(id));
    const SysJoystickInput *last = Jnl_LastInput(recJoy, id);
    if (!attached) {
        buffer += (char)JOY_DETACHED;
    } else if (last && memcmp(last, &in, sizeof in) == 0) {
        buffer += (char)JOY_SAME;
    } else {
        buffer += (char)JOY_NEW;
        for (SHORT a : in.axes)
            Jnl_PutVarint(buffer, Jnl_ZigZag(a));
        for (BYTE h : in.hats)
            buffer += (char)(h & 15);
        Jnl_PutVarint(buffer, in.buttons);
        Jnl_RememberInput(recJoy, id, in);
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
    bool tooLarge;
    Sys_ReadAll(f, MaxPlayerFileBytes, bytes, tooLarge);
    fclose(f);
    return !tooLarge;
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
    // Held while it is written: another game starting meanwhile does not take it for an empty one.
    flock(fileno(journalFile), LOCK_EX | LOCK_NB);
    memset(&deflater, 0, sizeof deflater);
    if (deflateInit(&deflater, Z_DEFAULT_COMPRESSION) != Z_OK) {
        fclose(journalFile);
        error = "cannot record to " + path + " (out of memory)";
        return false;
    }
    if (fwrite(Magic, 1, sizeof Magic, journalFile) != sizeof Magic || fputc(FORMAT_VERSION, journalFile) == EOF) {
        error = "cannot record to " + path + " (" + strerror(errno) + ")";
        deflateEnd(&deflater);
        fclose(journalFile);
        return false;
    }
    buffer.clear();
    Jnl_PutText(buffer, Sys_Version());
    Jnl_PutText(buffer, gameLine);
    buffer += (char)h.iniPresent;
    Jnl_PutText(buffer, h.ini);
    buffer += (char)h.scoresPresent;
    Jnl_PutText(buffer, h.scores);
    recPath = path;
    recLast = recLastSum = 0;
    recFrames = 0;
    recJoy.clear();
    writerFinish = false;
    writerFlush = false;
    writerFailed = false;
    writerFailSaid = false;
    if (!KORDAX_JOURNAL_INLINE)
        writer = std::thread(WriterMain);
    inner = sys_source;
    sys_source = { RecClock,   RecSleep,        RecEvent,         RecFrame,       RecAnswer,
                   RecJoysticks, RecJoystickOpen, RecJoystickClose, RecJoystickRead, RecJoystickRumble };
    recording = true;
    return true;
}

bool Jnl_FinishRecording(int scoreP1, int scoreP2)
{
    if (!recording)
        return false;
    Put(TAG_END);
    Jnl_PutVarint(buffer, Jnl_ZigZag(recFrames));
    Jnl_PutVarint(buffer, Jnl_ZigZag(scoreP1));
    Jnl_PutVarint(buffer, Jnl_ZigZag(scoreP2));
    CloseRecording();
    return true;
}
