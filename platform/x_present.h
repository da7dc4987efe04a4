// Presentation through the X server. The composed picture goes up once a
// frame at its own size, through shared memory where the server has it and
// in plain puts where it has not, and the server scales it to
// the screen (RENDER, nearest neighbour, keeping the picture's shape, black
// bars). The one upload is the only thing a frame waits for, and only when
// the next frame is ready before the server has shown the last one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw.h"

struct xcb_connection_t;

// The picture is shown in a window of its own, a child of the frame's X
// window over the client area, that the toolkit neither paints nor knows;
// it takes no input, so the pointer and the keys reach the frame as before.
//
// With shared memory a 32-bit picture is not copied into the segment each
// frame: the surface is lent the segment once and draws straight into it.
class X_Presenter : private Surface_Memory_Lender {
public:
    X_Presenter() = default;
    X_Presenter(const X_Presenter&) = delete;
    X_Presenter& operator=(const X_Presenter&) = delete;
    ~X_Presenter() { Close(); }

    // Starts presenting into a child of `parent`, an X window of
    // `connection`, on a connection of its own to the same server where it
    // can get one (else on `connection`). Nothing is kept when it fails: the parent is not (or no
    // longer) there, or the server lacks RENDER, or the parent's visual or
    // the pixmap formats are not ones this draws. A server without shared
    // memory (or one that refuses it, as a remote one does) gets the
    // picture in plain puts.
    enum Opening { OPENED, OPEN_NO_WINDOW, OPEN_UNSUPPORTED };
    Opening Open(xcb_connection_t* connection, uint32_t parent);
    bool Is_Open() const { return window_ != 0; }
    // The picture's window is on the screen: the last Show has not been hidden since.
    bool Is_Shown() const { return window_ != 0 && mapped_; }
    uint32_t Parent_Id() const { return parent_; }

    // Shows a usable surface scaled to keep its shape in the part of the
    // parent at (x, y) of width x height pixels, black around it. False
    // when the picture cannot go up (a size the server cannot hold).
    bool Show(Surface* surface, int x, int y, int width, int height) { return Show_Picture(surface, true, x, y, width, height); }
    // The same for a picture this presenter only copies from (another
    // presenter may already lend it memory): it is never lent the segment.
    bool Show(const Surface* surface, int x, int y, int width, int height) {
        return Show_Picture(const_cast<Surface*>(surface), false, x, y, width, height);
    }
    // Whether `surface` draws straight into the memory the server reads.
    bool Holds(const Surface* surface) const { return surface && lent_to_ == surface; }
    // Takes the picture's window off the screen until the next Show.
    void Hide();

    // Frees the server's resources and the shared memory. Call it before the
    // parent goes: the server takes the child window with it.
    void Close();

private:
    Opening Open_On(xcb_connection_t* connection, uint32_t parent);
    bool Show_Picture(Surface* surface, bool may_lend, int x, int y, int width, int height);
    bool Prepare_Source(int width, int height);
    bool Attach_Segment(size_t bytes);
    void Put_Rows(const uint8_t* rows);
    void Release_Source();
    void Place(int x, int y, int width, int height);
    void Draw();
    void Wait_For_Server();
    void Before_Write() override { Wait_For_Server(); }
    void Returned() override { lent_to_ = nullptr; }
    void Take_Back_Segment();

    xcb_connection_t* connection_ = nullptr;
    // Whether connection_ is the presenter's own (closed with it) rather than the toolkit's.
    bool own_connection_ = false;
    uint32_t parent_ = 0, window_ = 0, window_picture_ = 0, gc_ = 0;
    uint32_t source_format_ = 0;
    // The picture at its own size: a pixmap, its RENDER picture, the shared memory it comes from.
    uint32_t pixmap_ = 0, source_picture_ = 0, segment_ = 0;
    uint8_t* memory_ = nullptr;
    // Whether the server takes shared memory; without it the rows go up in
    // plain puts, from put_rows_ when they need converting.
    bool shared_memory_ = false;
    std::vector<uint8_t> put_rows_;
    // The surface the segment is lent to, if any.
    Surface* lent_to_ = nullptr;
    int source_width_ = 0, source_height_ = 0;
    // Where the window is and what it showed last: the bars and the scale
    // are set again only when these change.
    bool mapped_ = false;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    int shown_width_ = -1, shown_height_ = -1, shown_source_width_ = -1, shown_source_height_ = -1;
    bool sync_pending_ = false;
    unsigned sync_sequence_ = 0;
};
