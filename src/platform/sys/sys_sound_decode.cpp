// Decoding of PCM WAV (8, 16, 24, 32-bit integer, 32-bit float) and Ogg Vorbis files into 16-bit samples.
#include "sys_sound_decode.h"

#include <vorbis/vorbisfile.h>

#include <cstring>

static uint32_t Le16(const uint8_t *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
static uint32_t Le32(const uint8_t *p) { return Le16(p) | Le16(p + 2) << 16; }

static bool RateOk(long rate) { return rate >= 4000 && rate <= 192000; }

static int16_t FloatTo16(float v)
{
    if (v != v)
        return 0;
    if (v >= 1.0f)
        return 32767;
    if (v <= -1.0f)
        return -32768;
    return (int16_t)(v * 32767.0f);
}

bool Sys_DecodeWav(const uint8_t *data, size_t size, SysPcm &pcm)
{
    pcm = SysPcm();
    if (!data || size < 12 || memcmp(data, "RIFF", 4) != 0 || memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    uint32_t tag = 0, channels = 0, rate = 0, align = 0, bits = 0;
    const uint8_t *samples = nullptr;
    size_t sampleBytes = 0;
    size_t at = 12;
    while (size - at >= 8) {
        const uint8_t *id = data + at;
        size_t len = Le32(data + at + 4);
        size_t body = at + 8;
        size_t avail = size - body;
        if (memcmp(id, "fmt ", 4) == 0 && !haveFormat) {
            if (len < 16 || len > avail)
                return false;
            tag = Le16(data + body);
            channels = Le16(data + body + 2);
            rate = Le32(data + body + 4);
            align = Le16(data + body + 12);
            bits = Le16(data + body + 14);
            if (tag == 0xFFFE) { // extensible: the real format is the sub-format's first two bytes
                if (len < 40)
                    return false;
                tag = Le16(data + body + 24);
            }
            haveFormat = true;
        } else if (memcmp(id, "data", 4) == 0 && !samples) {
            samples = data + body;
            sampleBytes = len < avail ? len : avail; // a cut file keeps what it has
        }
        if (len > avail)
            break;
        at = body + len + (len & 1);
        if (at > size)
            break;
    }
    if (!haveFormat || !samples)
        return false;
    bool integer = tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    bool floating = tag == 3 && bits == 32;
    if ((!integer && !floating) || channels < 1 || channels > 2 || !RateOk(rate) || align != channels * bits / 8)
        return false;
    size_t frames = sampleBytes / align;
    if (frames == 0 || frames > (size_t)rate * SYS_SOUND_MAX_SECONDS)
        return false;
    pcm.rate = (int)rate;
    pcm.channels = (int)channels;
    size_t count = frames * channels;
    pcm.samples.resize(count);
    size_t step = bits / 8;
    for (size_t i = 0; i < count; i++) {
        const uint8_t *p = samples + i * step;
        int16_t v;
        if (floating) {
            uint32_t u = Le32(p);
            float f;
            memcpy(&f, &u, sizeof f);
            v = FloatTo16(f);
        } else if (bits == 8) {
            v = (int16_t)(((int)p[0] - 128) * 256);
        } else {
            v = (int16_t)Le16(p + step - 2); // the top 16 bits of a wider sample
        }
        pcm.samples[i] = v;
    }
    return true;
}

struct MemoryFile {
    const uint8_t *data;
    size_t size;
    size_t pos;
};

static size_t MemRead(void *dest, size_t item, size_t count, void *source)
{
    MemoryFile *m = (MemoryFile *)source;
    if (item == 0)
        return 0;
    size_t n = (m->size - m->pos) / item;
    if (n > count)
        n = count;
    memcpy(dest, m->data + m->pos, n * item);
    m->pos += n * item;
    return n;
}

static int MemSeek(void *source, ogg_int64_t offset, int whence)
{
    MemoryFile *m = (MemoryFile *)source;
    ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (ogg_int64_t)m->pos : (ogg_int64_t)m->size;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        return -1;
    ogg_int64_t to = base + offset;
    if (to < 0 || to > (ogg_int64_t)m->size)
        return -1;
    m->pos = (size_t)to;
    return 0;
}

static long MemTell(void *source) { return (long)((MemoryFile *)source)->pos; }

bool Sys_DecodeOgg(const uint8_t *data, size_t size, SysPcm &pcm)
{
    pcm = SysPcm();
    if (!data || size < 4 || memcmp(data, "OggS", 4) != 0)
        return false;
    MemoryFile file = { data, size, 0 };
    ov_callbacks calls = { MemRead, MemSeek, nullptr, MemTell };
    OggVorbis_File vf;
    if (ov_open_callbacks(&file, &vf, nullptr, 0, calls) != 0)
        return false;
    vorbis_info *info = ov_info(&vf, -1);
    bool ok = info && info->channels >= 1 && info->channels <= 2 && RateOk(info->rate);
    if (ok) {
        pcm.rate = (int)info->rate;
        pcm.channels = info->channels;
        size_t limit = (size_t)pcm.rate * SYS_SOUND_MAX_SECONDS * pcm.channels;
        // Room for the whole stream at once: a long piece grown a block at a time is copied over
        // and over, which stalls the frame that changes the music. The length is the file's own
        // word, so no more is made ready than its bytes could hold (Vorbis takes a byte for far
        // fewer than 64 samples).
        ogg_int64_t total = ov_pcm_total(&vf, -1);
        size_t room = total > 0 ? (size_t)total * pcm.channels : 0;
        if (room <= limit && room / 64 <= size)
            pcm.samples.reserve(room);
        char buf[8192];
        int holes = 0;
        for (;;) {
            int section = 0;
            long got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section);
            if (got == 0)
                break;
            if (got == OV_HOLE && ++holes < 1000)
                continue;
            if (got < 0) {
                ok = false;
                break;
            }
            // A chained stream that changes its layout part-way is not one sound.
            vorbis_info *now = ov_info(&vf, section);
            if (!now || now->channels != pcm.channels || now->rate != pcm.rate) {
                ok = false;
                break;
            }
            size_t n = (size_t)got / 2;
            if (pcm.samples.size() + n > limit) {
                ok = false;
                break;
            }
            for (size_t k = 0; k < n; k++)
                pcm.samples.push_back((int16_t)Le16((const uint8_t *)buf + 2 * k));
        }
        pcm.samples.resize(pcm.samples.size() / pcm.channels * pcm.channels);
        ok = ok && !pcm.samples.empty();
    }
    ov_clear(&vf);
    if (!ok)
        pcm = SysPcm();
    return ok;
}

bool Sys_DecodeSound(const uint8_t *data, size_t size, SysPcm &pcm)
{
    if (data && size >= 4 && memcmp(data, "OggS", 4) == 0)
        return Sys_DecodeOgg(data, size, pcm);
    return Sys_DecodeWav(data, size, pcm);
}

std::vector<uint8_t> Sys_PcmToWav(const SysPcm &pcm)
{
    uint32_t bytes = (uint32_t)(pcm.samples.size() * 2);
    uint32_t align = (uint32_t)pcm.channels * 2;
    std::vector<uint8_t> out(44 + (size_t)bytes);
    uint8_t *p = out.data();
    auto put32 = [&p](uint32_t v) {
        for (int i = 0; i < 4; i++)
            *p++ = (uint8_t)(v >> (8 * i));
    };
    auto put16 = [&p](uint32_t v) {
        *p++ = (uint8_t)v;
        *p++ = (uint8_t)(v >> 8);
    };
    auto tag = [&p](const char *t) {
        memcpy(p, t, 4);
        p += 4;
    };
    tag("RIFF");
    put32(36 + bytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16((uint32_t)pcm.channels);
    put32((uint32_t)pcm.rate);
    put32((uint32_t)pcm.rate * align);
    put16(align);
    put16(16);
    tag("data");
    put32(bytes);
    for (int16_t s : pcm.samples)
        put16((uint16_t)s);
    return out;
}
