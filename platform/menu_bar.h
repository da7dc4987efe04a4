// The menu bar of the run's window, built from the program's own menu
// model: items with identifiers, texts with '&' before the access letter,
// the chain of submenus each sits in, and a check mark and a grey state
// that the program sets and the bar shows.
//
// Choosing an item posts WM_COMMAND with its identifier to the window.
// The bar belongs to the overlapped window: a full-screen pop-up hides it
// and a return to the framed window brings it back.
#pragma once

struct Window;

// One item of a menu.
struct Menu_Item {
    int id;             // the command identifier
    const char* text;   // the item's text, '&' before the access letter
    const char* place;  // the chain of submenu titles leading to it, " > " between them, '&' marks as in text
    bool checked;       // check mark shown
    bool grey;          // disabled and greyed
};

// Gives the window a menu bar built from `count` items in menu order (SetMenu).
// A submenu stands where its first item is. The bar keeps the pointer and
// reads the check marks and grey states from the items at every
// Platform_Refresh_Menu and whenever a submenu opens. False without a real
// window (headless runs keep the model only).
bool Platform_Set_Menu(Window* window, Menu_Item* items, int count);
// Brings the shown check marks and grey states up to the items (DrawMenuBar).
void Platform_Refresh_Menu(Window* window);
