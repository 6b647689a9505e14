// The journal's format: records written as varints and read back through the inflater, and the whole-file check.
#include "sys_journal_codec.h"

#include <cstring>

// ---- encoding ----

void Jnl_PutVarint(std::string &o, uint64_t v)
{
    while (v >= 0x80) {
        o += (char)(v | 0x80);
        v >>= 7;
    }
    o += (char)v;
}

uint64_t Jnl_ZigZag(int64_t v) { return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63); }
static int64_t Jnl_UnZigZag(uint64_t u) { return (int64_t)(u >> 1) ^ -(int64_t)(u & 1); }

void Jnl_PutText(std::string &o, const std::string &t)
{
    Jnl_PutVarint(o, t.size());
    o += t;
}

bool Jnl_CarriesKey(int kind)
{
    return kind == SysEvent::KEY_DOWN || kind == SysEvent::KEY_UP || kind == SysEvent::SCRIPT_DOWN ||
           kind == SysEvent::SCRIPT_UP || kind == SysEvent::SCRIPT_PRESS;
}

// The game's picture as it was flipped: Fletcher sums of its 8-byte words in eight interleaved
// lanes (any changed pixel changes them; vectorised, they run at memory speed), folded by FNV-1a's step.
uint64_t Jnl_PictureSum(const SysPicture &p)
{
    const BYTE *b = p.pixels;
    size_t n = p.size, i = 0;
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


const SysJoystickInput *Jnl_LastInput(const std::vector<JoyLast> &v, int id)
{
    for (const JoyLast &j : v)
        if (j.id == id)
            return &j.input;
    return nullptr;
}

void Jnl_RememberInput(std::vector<JoyLast> &v, int id, const SysJoystickInput &in)
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


void Jnl_InflateEnd(Inflater &f)
{
    if (f.ready)
        inflateEnd(&f.z);
    f.ready = false;
}

bool Jnl_InflateStart(Inflater &f, const uint8_t *data, size_t size)
{
    Jnl_InflateEnd(f);
    memset(&f.z, 0, sizeof f.z);
    f.done = f.bad = f.cut = false;
    f.have = f.at = 0;
    if (inflateInit(&f.z) != Z_OK)
        return false;
    f.ready = true;
    f.z.next_in = const_cast<Bytef *>(data);
    f.z.avail_in = (uInt)size;
    return true;
}

bool Jnl_GetByte(Inflater &f, uint8_t &b)
{
    while (f.at == f.have) {
        if (f.done || f.bad || f.cut || !f.ready)
            return false;
        f.z.next_out = f.out.data();
        f.z.avail_out = (uInt)f.out.size();
        int r = inflate(&f.z, Z_NO_FLUSH);
        f.have = f.out.size() - f.z.avail_out;
        f.at = 0;
        if (r == Z_STREAM_END)
            f.done = true;
        else if (r == Z_BUF_ERROR && f.z.avail_in == 0)
            f.cut = true; // no input left: what was written before the end came is still good
        else if (r != Z_OK)
            f.bad = true;
    }
    b = f.out[f.at++];
    return true;
}

static bool Jnl_GetVarint(Inflater &f, uint64_t &v)
{
    v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        uint8_t b;
        if (!Jnl_GetByte(f, b))
            return false;
        v |= (uint64_t)(b & 0x7F) << shift;
        if (!(b & 0x80))
            return true;
    }
    return false;
}

static bool Jnl_GetSigned(Inflater &f, int64_t &v, int64_t lo, int64_t hi)
{
    uint64_t u;
    if (!Jnl_GetVarint(f, u))
        return false;
    v = Jnl_UnZigZag(u);
    return v >= lo && v <= hi;
}

static bool Jnl_GetText(Inflater &f, std::string &s, size_t limit)
{
    uint64_t n;
    if (!Jnl_GetVarint(f, n) || n > limit)
        return false;
    s.clear();
    for (uint64_t i = 0; i < n; i++) {
        uint8_t b;
        if (!Jnl_GetByte(f, b))
            return false;
        s += (char)b;
    }
    return true;
}

static bool Jnl_GetId(Inflater &f, int &id)
{
    int64_t v;
    if (!Jnl_GetSigned(f, v, INT32_MIN, INT32_MAX))
        return false;
    id = (int)v;
    return true;
}

bool Jnl_GetRecord(Inflater &f, Record &r)
{
    if (!Jnl_GetByte(f, r.tag))
        return false;
    uint8_t b;
    uint64_t u;
    switch (r.tag) {
    case TAG_CLOCK: return Jnl_GetSigned(f, r.value, INT32_MIN, INT32_MAX);
    case TAG_EVENT:
        if (!Jnl_GetByte(f, b) || b >= SysEvent::COUNT)
            return false;
        r.event = SysEvent();
        r.event.kind = (SysEvent::Kind)b;
        if (!Jnl_CarriesKey(b))
            return true;
        if (!Jnl_GetVarint(f, u) || u < 1 || u > 255)
            return false;
        r.event.vk = (int)u;
        return true;
    case TAG_FRAME: return true;
    case TAG_FRAME_SUM:
        r.sum = 0;
        for (int i = 0; i < 8; i++) {
            if (!Jnl_GetByte(f, b))
                return false;
            r.sum |= (uint64_t)b << (8 * i);
        }
        return true;
    case TAG_ANSWER:
        return Jnl_GetByte(f, r.question) && r.question < SYS_Q_COUNT && Jnl_GetSigned(f, r.value, INT32_MIN, INT32_MAX);
    case TAG_JOY_LIST:
        if (!Jnl_GetVarint(f, u) || u > SYS_MAX_JOYSTICK_INFOS)
            return false;
        r.count = (int)u;
        for (int i = 0; i < r.count; i++) {
            SysJoystickInfo &info = r.infos[i];
            std::string name;
            if (!Jnl_GetId(f, info.id))
                return false;
            for (uint8_t &p : info.product)
                if (!Jnl_GetByte(f, p))
                    return false;
            if (!Jnl_GetText(f, name, NAME_BYTES))
                return false;
            memcpy(info.name, name.c_str(), name.size() + 1);
        }
        return true;
    case TAG_JOY_OPEN:
        if (!Jnl_GetId(f, r.id) || !Jnl_GetByte(f, b) || b > 1)
            return false;
        r.joyState = b;
        return true;
    case TAG_JOY_READ:
        if (!Jnl_GetId(f, r.id) || !Jnl_GetByte(f, b) || b > JOY_NEW)
            return false;
        r.joyState = b;
        if (b != JOY_NEW)
            return true;
        for (SHORT &a : r.input.axes) {
            int64_t v;
            if (!Jnl_GetSigned(f, v, -32768, 32767))
                return false;
            a = (SHORT)v;
        }
        for (BYTE &h : r.input.hats)
            if (!Jnl_GetByte(f, h) || h > 15)
                return false;
        if (!Jnl_GetVarint(f, u) || u > 0xFFFFFFFFu)
            return false;
        r.input.buttons = (DWORD)u;
        return true;
    case TAG_END:
        return Jnl_GetSigned(f, r.frames, 0, INT32_MAX) && Jnl_GetSigned(f, r.p1, INT32_MIN, INT32_MAX) &&
               Jnl_GetSigned(f, r.p2, INT32_MIN, INT32_MAX);
    default: return false;
    }
}

bool Jnl_GetHeader(Inflater &f, SysJournalHeader &h)
{
    uint8_t ini, scores;
    if (!Jnl_GetText(f, h.version, MaxTextBytes) || !Jnl_GetText(f, h.gameLine, MaxTextBytes) || !Jnl_GetByte(f, ini) || ini > 1 ||
        !Jnl_GetText(f, h.ini, MaxPlayerFileBytes) || !Jnl_GetByte(f, scores) || scores > 1 ||
        !Jnl_GetText(f, h.scores, MaxPlayerFileBytes))
        return false;
    h.iniPresent = ini;
    h.scoresPresent = scores;
    return true;
}

bool Sys_CheckJournal(const uint8_t *data, size_t size, const std::string &name, SysJournalHeader &header,
                      long &frames, std::string &error)
{
    bool ended;
    return Sys_CheckJournal(data, size, name, header, frames, ended, error);
}

bool Sys_CheckJournal(const uint8_t *data, size_t size, const std::string &name, SysJournalHeader &header,
                      long &frames, bool &ended, std::string &error)
{
    std::string quoted = "'" + name + "'";
    frames = 0;
    ended = false;
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
    error = quoted + " is damaged; it cannot be replayed";
    Inflater f;
    bool ok = false;
    if (!Jnl_InflateStart(f, data + sizeof Magic + 1, size - sizeof Magic - 1)) {
        error = quoted + " cannot be read (out of memory)";
    } else if (Jnl_GetHeader(f, header)) {
        Record r;
        while (Jnl_GetRecord(f, r)) {
            if (r.tag == TAG_FRAME || r.tag == TAG_FRAME_SUM)
                frames++;
            if (r.tag != TAG_END)
                continue;
            uint8_t extra;
            ended = ok = r.frames == frames && !Jnl_GetByte(f, extra) && f.done && f.z.avail_in == 0;
            break;
        }
        // A recording killed mid-run: every complete record before the data ran out is good.
        if (!ended && f.cut && !f.bad)
            ok = frames > 0;
    }
    if (!ok && f.cut && !f.bad && frames == 0)
        error = quoted + " was cut short before its first frame; there is nothing to replay";
    Jnl_InflateEnd(f);
    if (ok)
        error.clear();
    return ok;
}

bool Sys_JournalHoldsNothing(const uint8_t *data, size_t size)
{
    if (size < sizeof Magic + 1)
        return size == 0 || memcmp(data, Magic, size) == 0; // empty, or killed while the magic was written
    if (memcmp(data, Magic, sizeof Magic) != 0 || data[sizeof Magic] != FORMAT_VERSION)
        return false; // not ours to judge
    Inflater f;
    SysJournalHeader header;
    Record r;
    bool frame = false;
    if (Jnl_InflateStart(f, data + sizeof Magic + 1, size - sizeof Magic - 1) && Jnl_GetHeader(f, header))
        while (!frame && Jnl_GetRecord(f, r))
            frame = r.tag == TAG_FRAME || r.tag == TAG_FRAME_SUM;
    bool nothing = !frame && f.ready;
    Jnl_InflateEnd(f);
    return nothing;
}
