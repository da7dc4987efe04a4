// The rectangle copies between surfaces.
//
// Every copy follows one pattern: silent refusal of empty sizes, the
// destination then the source checked for null or lost, clipping for the
// clipping copies, one device call, and the device's answer settled by
// retrying busy and lost answers or reporting the rest. The copies run
// several times per frame on screen-sized rectangles, so nothing here
// allocates and clipping happens once, in integer arithmetic.
#include "graphics/blits.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/surface.h"

// A device that keeps answering busy (or keeps losing the surfaces again
// after every restore) must not hang the frame loop: after this many repeats
// the copy gives up and reports like any other unexpected answer.
static constexpr int BLIT_RETRY_LIMIT = 10000;

// Which copy is running: its name for the shared texts and its own texts.
enum class Blit_Kind { BLIT, CLIP, MASKED_CLIP, MASKED_CLIP_EX, CLIP_H, MASKED_H, CLIP_V, STRETCH, FAST };

// One prepared copy: the rectangles after clipping and what the device is asked.
struct Blit_Call {
    Blit_Kind kind;
    const char* name;
    Surface* source;
    Surface* dest;
    int sx, sy, dx, dy;
    int w, h;            // copied size (for the stretch: the source size)
    int dest_w, dest_h;  // destination size (equal to w, h except for the stretch)
    uint32_t flags;
    uint32_t effects;
};

// a + b without overflow: a sum beyond the int range becomes the nearest
// bound, which no surface contains, so the device refuses the rectangle.
static int Saturated_Sum(long long a, long long b) {
    const long long sum = a + b;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return static_cast<int>(sum);
}

static Rect Make_Rect(int x, int y, int w, int h) { return Rect{x, y, Saturated_Sum(x, w), Saturated_Sum(y, h)}; }

// Clips one axis of the destination to [0, limit), moving the source along by
// what is cut off the start. Returns false when nothing is left to draw.
static bool Clip_Axis(int& d, int& n, int& s, int limit) {
    if (d < 0) {
        const long long left = static_cast<long long>(n) + d;
        if (left <= 0) return false;
        s = Saturated_Sum(s, -static_cast<long long>(d));
        n = static_cast<int>(left);
        d = 0;
    }
    const long long end = static_cast<long long>(d) + n;
    if (end >= limit) {
        const long long over = end - limit;
        if (over >= n) return false;
        n -= static_cast<int>(over);
    }
    return true;
}

bool Clip_Rectangle(int* sx, int* sy, int* dx, int* dy, int* w, int* h, int clip_width, int clip_height) {
    return Clip_Axis(*dx, *w, *sx, clip_width) && Clip_Axis(*dy, *h, *sy, clip_height);
}

static bool Operand_Bad(Surface* surface) { return surface == nullptr || Surface_IsLost(surface) == DDERR_SURFACELOST; }

// The text for an answer the copy does not know what to do with.
static void Report_Default(const Blit_Call& call) {
    const Rect src = Make_Rect(call.sx, call.sy, call.w, call.h);
    const Rect dst = Make_Rect(call.dx, call.dy, call.dest_w, call.dest_h);
    switch (call.kind) {
    case Blit_Kind::BLIT:
    case Blit_Kind::CLIP_H:
    case Blit_Kind::MASKED_H:
    case Blit_Kind::CLIP_V:
        Report_Formatted(
            "%s(): DEFAULTblitting from (%d,%d)\nto (%d,%d)\nwidth = %d\nheight = %d"
            "Perhaps you have crossed the surface boundary?",
            call.name, call.sx, call.sy, call.dx, call.dy, call.w, call.h);
        break;
    case Blit_Kind::FAST:
        Report_Formatted(
            "Fast_Blit(): DEFAULT blitting from (%d,%d)\nto (%d,%d)\nwidth = %d\nheight = %d"
            "Perhaps you have crossed the surface boundary?",
            call.sx, call.sy, call.dx, call.dy, call.w, call.h);
        break;
    case Blit_Kind::CLIP:
        Report_Formatted(
            "Clip_Blit(): DEFAULT blitting from source x,y (%d,%d) to dest x,y (%d,%d) "
            "width = %d height = %d",
            call.sx, call.sy, call.dx, call.dy, call.w, call.h);
        break;
    case Blit_Kind::MASKED_CLIP:
    case Blit_Kind::MASKED_CLIP_EX: {
        int source_width = 0, source_height = 0, dest_width = 0, dest_height = 0;
        Grab_Surface_Dimensions(call.source, &source_width, &source_height);
        Grab_Surface_Dimensions(call.dest, &dest_width, &dest_height);
        // The plain masked copy has a blank after DEFAULT where the other has none.
        if (call.kind == Blit_Kind::MASKED_CLIP) {
            Report_Formatted(
                "Masked_Clip_Blit(): DEFAULT blitting from tl(%d,%d) br (%d,%d)\nto tl (%d,%d) "
                "br (%d,%d)\nwidth = %d\nheight = %dsource dimension w %d h %d\ndest dimensions w%d h%d",
                src.left, src.top, src.right, src.bottom, dst.left, dst.top, dst.right, dst.bottom, call.w, call.h,
                source_width, source_height, dest_width, dest_height);
        } else {
            Report_Formatted(
                "Masked_Clip_Blit_Ex(): DEFAULTblitting from tl(%d,%d) br (%d,%d)\nto tl (%d,%d) "
                "br (%d,%d)\nwidth = %d\nheight = %dsource dimension w %d h %d\ndest dimensions w%d h%d",
                src.left, src.top, src.right, src.bottom, dst.left, dst.top, dst.right, dst.bottom, call.w, call.h,
                source_width, source_height, dest_width, dest_height);
        }
        break;
    }
    case Blit_Kind::STRETCH:
        Report_Formatted(
            "Stretch_Blit(): DEFAULTblitting from tl(%d,%d); br (%d,%d)\nto lt(%d,%d); br (%d,%d)\n"
            "source width = %d\nsource height = %d\ndest_width = %d\ndest_height = %d"
            "Perhaps you have crossed the surface boundary?",
            src.left, src.top, src.right, src.bottom, dst.left, dst.top, dst.right, dst.bottom, call.w, call.h,
            call.dest_w, call.dest_h);
        break;
    }
}

// The answers only Clip_Blit tells apart. Returns false for any other answer.
static bool Report_Clip_Blit_Answer(const Blit_Call& call, HRESULT answer) {
    switch (answer) {
    case DDERR_NOCLIPLIST: Report_Error("Clip_Blit(): DDERR_NOCLIPLIST "); return true;
    case DDERR_INVALIDRECT: Report_Error("Clip_Blit(): DDERR_INVALIDRECT "); return true;
    case DDERR_INVALIDCLIPLIST: Report_Error("Clip_Blit(): DDERR_INVALIDCLIPLIST"); return true;
    case DDERR_INVALIDOBJECT: Report_Error("Clip_Blit(): DDERR_INVALIDOBJECT"); return true;
    case DDERR_INVALIDPARAMS: Report_Error("Clip_Blit(): DDERR_INVALIDPARAMS "); return true;
    case DDERR_UNSUPPORTED: Report_Error("Clip_Blit(): DDERR_UNSUPPORTED "); return true;
    case DDERR_GENERIC:
        Report_Formatted(
            "Clip_Blit(): GENERIC blitting from source x,y (%d,%d) to dest x,y (%d,%d) "
            "width = %d height = %d",
            call.sx, call.sy, call.dx, call.dy, call.w, call.h);
        return true;
    default: return false;
    }
}

static HRESULT Call_Device(const Blit_Call& call) {
    const Rect source_rect = Make_Rect(call.sx, call.sy, call.w, call.h);
    if (call.kind == Blit_Kind::FAST) {
        return Surface_BltFast(call.dest, call.dx, call.dy, call.source, &source_rect, DDBLTFAST_NOCOLORKEY);
    }
    const Rect dest_rect = Make_Rect(call.dx, call.dy, call.dest_w, call.dest_h);
    BltFx fx;
    fx.effects = call.effects;
    return Surface_Blt(call.dest, &dest_rect, call.source, &source_rect, call.flags,
                       (call.flags & DDBLT_DDFX) ? &fx : nullptr);
}

// Steps 2, 3, 5 and 6 of every copy: operand checks, the device call and
// the settling of its answer.
static int Run_Blit(const Blit_Call& call) {
    for (int attempt = 0; attempt <= BLIT_RETRY_LIMIT; ++attempt) {
        const HRESULT answer = Call_Device(call);
        if (answer == DD_OK) return 1;
        if (answer == DDERR_SURFACEBUSY || answer == DDERR_WASSTILLDRAWING) continue;
        if (answer == DDERR_SURFACELOST) {
            if (Restore_All_Surfaces() == 1) continue;
            if (call.kind == Blit_Kind::FAST) {
                Report_Error("Fast_Blit(): DDER_SURFACELOST \n surface can't be restored");
            } else {
                Report_Formatted("%s(): DDER_SURFACELOST and can't be restored", call.name);
            }
            return 0;
        }
        if (answer == DDERR_LOCKEDSURFACES) {
            if (call.kind == Blit_Kind::FAST) {
                Report_Error("Fast_Blit(): DDERR_LOCKEDSURFACES \n I think you need to free a surface!");
            } else {
                Report_Formatted("%s(): DDERR_LOCKEDSURFACES I think you need to free a surface!", call.name);
            }
            return 0;
        }
        if (call.kind == Blit_Kind::FAST && answer == DDERR_UNSUPPORTED) {
            Report_Error("Fast_Blit(): DDERR_UNSUPPORTED \n Cannot Blit to Clipped Surface");
            return 0;
        }
        if (call.kind == Blit_Kind::CLIP && Report_Clip_Blit_Answer(call, answer)) return 0;
        break;
    }
    Report_Default(call);
    return 0;
}

// Destination first, then source: a null destination is reported even when
// the source is null too.
static bool Operands_Usable(const char* name, Surface* source, Surface* dest) {
    if (Operand_Bad(dest)) {
        Report_Formatted("%s():FAILED due to BAD dest surface (either lost or NULL)\n", name);
        return false;
    }
    if (Operand_Bad(source)) {
        Report_Formatted("%s():FAILED due to BAD source %ld surface (either lost or NULL)\n", name,
                         source ? source->id : 0L);
        return false;
    }
    return true;
}

static int Unclipped_Blit(Blit_Kind kind, const char* name, uint32_t flags, Surface* source, Surface* dest, int sx,
                          int sy, int dx, int dy, int w, int h) {
    if (w <= 0 || h <= 0) return 0;
    if (!Operands_Usable(name, source, dest)) return 0;
    return Run_Blit(Blit_Call{kind, name, source, dest, sx, sy, dx, dy, w, h, w, h, flags, 0});
}

static int Clipped_Blit(Blit_Kind kind, const char* name, uint32_t flags, uint32_t effects, Surface* source,
                        Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width, int clip_height) {
    if (w <= 0 || h <= 0 || clip_width <= 0 || clip_height <= 0) return 0;
    if (!Operands_Usable(name, source, dest)) return 0;
    if (!Clip_Rectangle(&sx, &sy, &dx, &dy, &w, &h, clip_width, clip_height)) return 1;
    return Run_Blit(Blit_Call{kind, name, source, dest, sx, sy, dx, dy, w, h, w, h, flags, effects});
}

int Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Unclipped_Blit(Blit_Kind::BLIT, "Blit", DDBLT_DDFX, source, dest, sx, sy, dx, dy, w, h);
}

int Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Clipped_Blit(Blit_Kind::CLIP, "Clip_Blit", 0, 0, source, dest, sx, sy, dx, dy, w, h, app.screen_width,
                        app.screen_height);
}

int Masked_Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Clipped_Blit(Blit_Kind::MASKED_CLIP, "Masked_Clip_Blit", DDBLT_DDFX | DDBLT_KEYSRC, 0, source, dest, sx, sy,
                        dx, dy, w, h, app.screen_width, app.screen_height);
}

int Masked_Clip_Blit_Ex(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                        int clip_height) {
    return Clipped_Blit(Blit_Kind::MASKED_CLIP_EX, "Masked_Clip_Blit_Ex", DDBLT_DDFX | DDBLT_KEYSRC, 0, source, dest,
                        sx, sy, dx, dy, w, h, clip_width, clip_height);
}

int Clip_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Clipped_Blit(Blit_Kind::CLIP_H, "Clip_H_Blit", DDBLT_DDFX, DDBLTFX_MIRRORLEFTRIGHT, source, dest, sx, sy, dx,
                        dy, w, h, app.screen_width, app.screen_height);
}

int Masked_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Clipped_Blit(Blit_Kind::MASKED_H, "Masked_H_Blit", DDBLT_DDFX | DDBLT_KEYSRC, DDBLTFX_MIRRORLEFTRIGHT,
                        source, dest, sx, sy, dx, dy, w, h, app.screen_width, app.screen_height);
}

int Clip_V_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Clipped_Blit(Blit_Kind::CLIP_V, "Clip_V_Blit", DDBLT_DDFX, DDBLTFX_MIRRORUPDOWN, source, dest, sx, sy, dx,
                        dy, w, h, app.screen_width, app.screen_height);
}

int Stretch_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int source_w, int source_h, int dest_w,
                 int dest_h) {
    if (source_w <= 0 || source_h <= 0 || dest_w <= 0 || dest_h <= 0) return 0;
    if (!Operands_Usable("Stretch_Blit", source, dest)) return 0;
    return Run_Blit(Blit_Call{Blit_Kind::STRETCH, "Stretch_Blit", source, dest, sx, sy, dx, dy, source_w, source_h,
                              dest_w, dest_h, DDBLT_DDFX, 0});
}

int Fast_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h) {
    return Unclipped_Blit(Blit_Kind::FAST, "Fast_Blit", 0, source, dest, sx, sy, dx, dy, w, h);
}

int Wait_For_Blitter(Surface* surface) {
    // A missing surface is no object to ask about.
    if (surface == nullptr) {
        Report_Error("Wait_For_Blitter(): DDERR_INVALIDOBJECT \n");
        return 0;
    }
    HRESULT answer = DD_OK;
    for (int attempt = 0; attempt <= BLIT_RETRY_LIMIT; ++attempt) {
        answer = Surface_GetBltStatus(surface, DDGBS_ISBLTDONE);
        switch (answer) {
        case DD_OK: return 1;
        case DDERR_SURFACELOST:
            if (Restore_All_Surfaces() == 1) continue;
            Report_Error("Wait_For_Blitter(): DDER_SURFACELOST \n surface can't be restored");
            return 0;
        case DDERR_INVALIDOBJECT: Report_Error("Wait_For_Blitter(): DDERR_INVALIDOBJECT \n"); return 0;
        case DDERR_UNSUPPORTED: Report_Error("Wait_For_Blitter(): DDERR_UNSUPPORTED"); return 0;
        case DDERR_INVALIDPARAMS: Report_Error("Wait_For_Blitter(): DDERR_INVALIDPARAMS \n"); return 0;
        case DDERR_NOBLTHW:
            Report_Error(
                "Wait_For_Blitter(): DDERR_NOBLTHW \n This system has no blitter hardware.\n"
                "Where's the video card?");
            return 0;
        default: continue;  // still drawing: ask again
        }
    }
    // Still lost after every restore, or never finished drawing.
    if (answer == DDERR_SURFACELOST) {
        Report_Error("Wait_For_Blitter(): DDER_SURFACELOST \n surface can't be restored");
    } else {
        Report_Error("Wait_For_Blitter(): DDERR_WASSTILLDRAWING");
    }
    return 0;
}
