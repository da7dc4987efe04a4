// The record behind a DeviceContext handle: a surface and the drawing state
// of its context. Private to the platform layer.
#pragma once

#include "platform/ddraw.h"
#include "platform/gdi.h"

struct DeviceContext {
    Surface* surface = nullptr;
    COLORREF brush = RGB(255, 255, 255);
    COLORREF pen = RGB(0, 0, 0);
    COLORREF text_colour = RGB(0, 0, 0);
    int background_mode = GDI_OPAQUE;
};
