// The sprite frame definition file reader: one text file in, one DDSPRITE_FrameDataType record out.
#include "dd_sprite_file.h"
#include "dd_log.h"
#include "script_utils.h"
#include "sys_file.h"

#include <cstring>
#include <new>

const char *const BlockStrings[DDSPRITE_BLOCK_COUNT] = {
    "",          "[SPRITE_IMAGE]", "[SPRITE_HIT_MASK]", "[SPRITE_FRAMES]", "[HIT_TYPE]",
    "[HANDLE]",  "[TRANSPARENT]",  "[FRAME]",           "[IMAGE_RECT]",    "[HANDLE_POINT]",
    "[HIT_RECT]", "[HOTSPOT]",     "[SPRITE_END]",
};
const char *const CollisionStrings[4] = { "NONE", "RECT", "PIXEL", "HOTSPOT" };
const char *const HandleStrings[3] = { "TOPLEFT", "CENTRE", "POINT" };

int DDSPRITE_GetBlockMarker(char *line)
{
    return SCRIPT_GetBlockMarker(line, BlockStrings, DDSPRITE_BLOCK_COUNT);
}

// The first keyword of the table, in table order, that occurs anywhere in the next line.
static int ReadKeyword(FILE *file, const char *const *table, int count)
{
    char line[SCRIPT_LINE_SIZE];
    if (!SCRIPT_ReadLine(file, line))
        return -1;
    for (int i = 0; i < count; i++)
        if (strstr(line, table[i]))
            return i;
    return -1;
}

bool DDSPRITE_ReadCollision(FILE *file, DDSPRITE_CollisionType *type)
{
    int i = ReadKeyword(file, CollisionStrings, 4);
    if (i < 0)
        return false;
    if (type)
        *type = (DDSPRITE_CollisionType)i;
    return true;
}

bool DDSPRITE_ReadHandle(FILE *file, DDSPRITE_HandleType *type)
{
    int i = ReadKeyword(file, HandleStrings, 3);
    if (i < 0)
        return false;
    if (type)
        *type = (DDSPRITE_HandleType)i;
    return true;
}

void DDSPRITE_FreeFrameData(DDSPRITE_FrameDataType *frameData)
{
    if (!frameData)
        return;
    delete[] frameData->SpriteImage;
    delete[] frameData->SpriteHitMask;
    delete[] frameData->ImageRect;
    delete[] frameData->HitRect;
    delete[] frameData->HotSpot;
    delete[] frameData->HandlePoint;
    delete frameData;
}

namespace {

// The state of one reading: the record being filled and the flags of the reading loop.
struct FrameReader {
    FILE *file;
    DDSPRITE_FrameDataType *data;
    bool seen[DDSPRITE_BLOCK_COUNT];
    int framesRead;
    int frame;
    bool error;
    bool end;
};

} // namespace

static void Fail(FrameReader &r, const char *message)
{
    DDErrorLog(message);
    r.error = true;
}

// Per-frame arrays start zeroed, so a frame that gives no value has a defined (empty) one.
template <typename T> static bool Allocate(FrameReader &r, T *&array, const char *message)
{
    if (array)
        return true;
    array = new (std::nothrow) T[(size_t)r.data->NFrames]();
    if (!array)
        Fail(r, message);
    return array != nullptr;
}

// Hit rectangles or hot spots, once both the frame count and the hit type are known.
static void AllocateHitArrays(FrameReader &r)
{
    if (r.data->HitType == DDSPRITE_COLLIDE_RECT)
        Allocate(r, r.data->HitRect, "DDSPRITE_ReadFrameData: Failed to allocate HitRect");
    else if (r.data->HitType == DDSPRITE_COLLIDE_HOTSPOT)
        Allocate(r, r.data->HotSpot, "DDSPRITE_ReadFrameData: Failed to allocate HotSpot");
}

static void AllocateHandleArray(FrameReader &r)
{
    if (r.data->Handle == DDSPRITE_HANDLE_POINT)
        Allocate(r, r.data->HandlePoint, "DDSPRITE_ReadFrameData: Failed to allocate HandlePoint");
}

static void ReadString(FrameReader &r, int block, char *&target, const char *respecified, const char *failed)
{
    if (r.seen[block])
        return Fail(r, respecified);
    target = SCRIPT_ReadString(r.file);
    if (!target)
        return Fail(r, failed);
    r.seen[block] = true;
}

static void ReadFrames(FrameReader &r)
{
    DDSPRITE_FrameDataType *d = r.data;
    if (r.seen[DDSPRITE_BLOCK_SPRITE_FRAMES])
        return Fail(r, "DDSPRITE_ReadFrameData: [SPRITE_FRAMES] respecified.");
    if (!SCRIPT_ReadInt(r.file, &d->NFrames))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [SPRITE_FRAMES].");
    // No frame at all, or more than could sensibly be allocated, is plainly wrong.
    if (d->NFrames < 1 || d->NFrames > DDSPRITE_MAX_FRAMES)
        return Fail(r, "DDSPRITE_ReadFrameData: [SPRITE_FRAMES] outside valid range.");
    if (!Allocate(r, d->ImageRect, "DDSPRITE_ReadFrameData: Failed to allocate ImageRect"))
        return;
    if (r.seen[DDSPRITE_BLOCK_HIT_TYPE])
        AllocateHitArrays(r);
    if (r.seen[DDSPRITE_BLOCK_HANDLE])
        AllocateHandleArray(r);
    r.seen[DDSPRITE_BLOCK_SPRITE_FRAMES] = true;
}

static void ReadHitType(FrameReader &r)
{
    if (r.seen[DDSPRITE_BLOCK_HIT_TYPE])
        return Fail(r, "DDSPRITE_ReadFrameData: [HIT_TYPE] respecified.");
    if (!DDSPRITE_ReadCollision(r.file, &r.data->HitType))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [HIT_TYPE].");
    if (r.seen[DDSPRITE_BLOCK_SPRITE_FRAMES])
        AllocateHitArrays(r);
    r.seen[DDSPRITE_BLOCK_HIT_TYPE] = true;
}

static void ReadHandleType(FrameReader &r)
{
    if (r.seen[DDSPRITE_BLOCK_HANDLE])
        return Fail(r, "DDSPRITE_ReadFrameData: [HANDLE] respecified.");
    if (!DDSPRITE_ReadHandle(r.file, &r.data->Handle))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [HANDLE].");
    if (r.seen[DDSPRITE_BLOCK_SPRITE_FRAMES])
        AllocateHandleArray(r);
    r.seen[DDSPRITE_BLOCK_HANDLE] = true;
}

static void ReadTransparent(FrameReader &r)
{
    if (r.seen[DDSPRITE_BLOCK_TRANSPARENT])
        return Fail(r, "DDSPRITE_ReadFrameData: [TRANSPARENT] respecified.");
    if (!SCRIPT_ReadInt(r.file, &r.data->Transparent))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [TRANSPARENT].");
    r.seen[DDSPRITE_BLOCK_TRANSPARENT] = true;
}

static void ReadFrameNumber(FrameReader &r)
{
    if (!r.seen[DDSPRITE_BLOCK_SPRITE_IMAGE])
        return Fail(r, "DDSPRITE_ReadFrameData: [SPRITE_IMAGE] must be specified before [FRAME].");
    if (!r.seen[DDSPRITE_BLOCK_SPRITE_FRAMES])
        return Fail(r, "DDSPRITE_ReadFrameData: [SPRITE_FRAMES] must be specified before [FRAME].");
    if (!r.seen[DDSPRITE_BLOCK_HIT_TYPE])
        return Fail(r, "DDSPRITE_ReadFrameData: [HIT_TYPE] must be specified before [FRAME].");
    if (!r.seen[DDSPRITE_BLOCK_HANDLE])
        return Fail(r, "DDSPRITE_ReadFrameData: [HANDLE] must be specified before [FRAME].");
    int frame = 0;
    if (!SCRIPT_ReadInt(r.file, &frame))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [FRAME].");
    if (frame < 0 || frame >= r.data->NFrames)
        return Fail(r, "DDSPRITE_ReadFrameData: [FRAME] specified is outside valid range.");
    r.frame = frame;
    r.framesRead++;
    r.seen[DDSPRITE_BLOCK_FRAME] = true;
    for (int b = DDSPRITE_BLOCK_IMAGE_RECT; b <= DDSPRITE_BLOCK_HOTSPOT; b++)
        r.seen[b] = false;
}

// Blocks 8 to 11 belong to the frame named by the latest [FRAME]; before one there is none.
static bool FrameBlockAllowed(FrameReader &r, const char *before)
{
    if (!r.seen[DDSPRITE_BLOCK_FRAME]) {
        Fail(r, before);
        return false;
    }
    return true;
}

static void ReadImageRect(FrameReader &r)
{
    if (!FrameBlockAllowed(r, "DDSPRITE_ReadFrameData: [IMAGE_RECT] found before [FRAME]."))
        return;
    if (r.seen[DDSPRITE_BLOCK_IMAGE_RECT])
        return Fail(r, "DDSPRITE_ReadFrameData: [IMAGE_RECT] respecified.");
    if (!SCRIPT_ReadRect(r.file, &r.data->ImageRect[r.frame]))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [IMAGE_RECT].");
    r.seen[DDSPRITE_BLOCK_IMAGE_RECT] = true;
}

static void ReadHandlePoint(FrameReader &r)
{
    if (r.data->Handle != DDSPRITE_HANDLE_POINT)
        return Fail(r, "DDSPRITE_ReadFrameData: [HANDLE_POINT] specified for different handle type.");
    if (!FrameBlockAllowed(r, "DDSPRITE_ReadFrameData: [HANDLE_POINT] found before [FRAME]."))
        return;
    if (!r.data->HandlePoint)
        return Fail(r, "DDSPRITE_ReadFrameData: [HANDLE_POINT] specified for different handle type.");
    if (r.seen[DDSPRITE_BLOCK_HANDLE_POINT])
        return Fail(r, "DDSPRITE_ReadFrameData: [HANDLE_POINT] respecified.");
    if (!SCRIPT_ReadPoint(r.file, &r.data->HandlePoint[r.frame]))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [HANDLE_POINT].");
    r.seen[DDSPRITE_BLOCK_HANDLE_POINT] = true;
}

static void ReadHitRect(FrameReader &r)
{
    if (r.data->HitType != DDSPRITE_COLLIDE_RECT)
        return Fail(r, "DDSPRITE_ReadFrameData: [HIT_RECT] specified for different collision type.");
    if (!FrameBlockAllowed(r, "DDSPRITE_ReadFrameData: [HIT_RECT] found before [FRAME]."))
        return;
    if (!r.data->HitRect)
        return Fail(r, "DDSPRITE_ReadFrameData: [HIT_RECT] specified for different collision type.");
    if (r.seen[DDSPRITE_BLOCK_HIT_RECT])
        return Fail(r, "DDSPRITE_ReadFrameData: [HIT_RECT] respecified.");
    if (!SCRIPT_ReadRect(r.file, &r.data->HitRect[r.frame]))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [HIT_RECT].");
    r.seen[DDSPRITE_BLOCK_HIT_RECT] = true;
}

static void ReadHotSpot(FrameReader &r)
{
    if (r.data->HitType != DDSPRITE_COLLIDE_HOTSPOT)
        return Fail(r, "DDSPRITE_ReadFrameData: [HOTSPOT] specified for different collision type.");
    if (!FrameBlockAllowed(r, "DDSPRITE_ReadFrameData: [HOTSPOT] found before [FRAME]."))
        return;
    if (!r.data->HotSpot)
        return Fail(r, "DDSPRITE_ReadFrameData: [HOTSPOT] specified for different collision type.");
    if (r.seen[DDSPRITE_BLOCK_HOTSPOT])
        return Fail(r, "DDSPRITE_ReadFrameData: [HOTSPOT] respecified.");
    if (!SCRIPT_ReadPoint(r.file, &r.data->HotSpot[r.frame]))
        return Fail(r, "DDSPRITE_ReadFrameData: Failed to read [HOTSPOT].");
    r.seen[DDSPRITE_BLOCK_HOTSPOT] = true;
}

static void HandleLine(FrameReader &r, char *line)
{
    int block = DDSPRITE_GetBlockMarker(line);
    switch (block) {
    case DDSPRITE_BLOCK_NONE:
        DDErrorLog("DDSPRITE_ReadFrameData: Block marker not found.");
        DDErrorLogRead(line);
        r.error = true;
        break;
    case DDSPRITE_BLOCK_SPRITE_IMAGE:
        ReadString(r, block, r.data->SpriteImage, "DDSPRITE_ReadFrameData: [SPRITE_IMAGE] respecified.",
                   "DDSPRITE_ReadFrameData: Failed to read [SPRITE_IMAGE].");
        break;
    case DDSPRITE_BLOCK_SPRITE_HIT_MASK:
        ReadString(r, block, r.data->SpriteHitMask, "DDSPRITE_ReadFrameData: [SPRITE_HIT_MASK] respecified.",
                   "DDSPRITE_ReadFrameData: Failed to read [SPRITE_HIT_MASK].");
        break;
    case DDSPRITE_BLOCK_SPRITE_FRAMES: ReadFrames(r); break;
    case DDSPRITE_BLOCK_HIT_TYPE: ReadHitType(r); break;
    case DDSPRITE_BLOCK_HANDLE: ReadHandleType(r); break;
    case DDSPRITE_BLOCK_TRANSPARENT: ReadTransparent(r); break;
    case DDSPRITE_BLOCK_FRAME: ReadFrameNumber(r); break;
    case DDSPRITE_BLOCK_IMAGE_RECT: ReadImageRect(r); break;
    case DDSPRITE_BLOCK_HANDLE_POINT: ReadHandlePoint(r); break;
    case DDSPRITE_BLOCK_HIT_RECT: ReadHitRect(r); break;
    case DDSPRITE_BLOCK_HOTSPOT: ReadHotSpot(r); break;
    case DDSPRITE_BLOCK_SPRITE_END:
        if (r.framesRead < r.data->NFrames) {
            DDErrorLog("DDSPRITE_ReadFrameData: Insufficient frames specified.");
            r.error = true;
        }
        r.end = true;
        break;
    default:
        DDErrorLog("DDSPRITE_ReadFrameData: Unexpected block type");
        break;
    }
}

// A file that stops early is accepted, but not one without the header a definition needs.
static void CheckHeader(FrameReader &r)
{
    static const struct {
        int block;
        const char *message;
    } required[] = {
        { DDSPRITE_BLOCK_SPRITE_IMAGE, "DDSPRITE_ReadFrameData: [SPRITE_IMAGE] not specified." },
        { DDSPRITE_BLOCK_SPRITE_FRAMES, "DDSPRITE_ReadFrameData: [SPRITE_FRAMES] not specified." },
        { DDSPRITE_BLOCK_HIT_TYPE, "DDSPRITE_ReadFrameData: [HIT_TYPE] not specified." },
        { DDSPRITE_BLOCK_HANDLE, "DDSPRITE_ReadFrameData: [HANDLE] not specified." },
    };
    for (const auto &req : required)
        if (!r.seen[req.block])
            return Fail(r, req.message);
}

DDSPRITE_FrameDataType *DDSPRITE_ReadFrameData(char const *fileName)
{
    FILE *file = fileName ? Sys_FOpen(fileName, "rt") : nullptr;
    if (!file) {
        DDErrorLog("Failed to open sprite frame definition file");
        DDErrorLog(fileName ? fileName : "(null)");
        if (fileName)
            DDLogFile(fileName);
        return nullptr;
    }
    DDSPRITE_FrameDataType *data = new (std::nothrow) DDSPRITE_FrameDataType;
    if (!data) {
        DDErrorLog("DDSPRITE_ReadFrameData: Failed to allocate frame data");
        fclose(file);
        return nullptr;
    }
    memset(data, 0, sizeof *data);
    data->Transparent = -1;

    FrameReader r;
    memset(&r, 0, sizeof r);
    r.file = file;
    r.data = data;
    char line[SCRIPT_LINE_SIZE];
    while (!feof(file) && !r.end && !r.error) {
        if (!SCRIPT_ReadLine(file, line))
            break;
        if (line[0] == '#')
            continue;
        HandleLine(r, line);
    }
    if (!r.error)
        CheckHeader(r);
    fclose(file);
    if (r.error) {
        DDErrorLog("Error reading sprite frame definition");
        DDLogFile(fileName);
        DDSPRITE_FreeFrameData(data);
        return nullptr;
    }
    return data;
}
