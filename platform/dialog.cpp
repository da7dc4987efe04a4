// Dialog records and their controls; the modal run is the window layer's.
#include "platform/dialog.h"

#include <algorithm>
#include <string>

#include "platform/ddraw.h"
#include "platform/window.h"

Dialog_Box_Hook platform_dialog_box_hook = nullptr;
Dialog_Control_Hook platform_dialog_control_hook = nullptr;
Dialog_Picture_Hook platform_dialog_picture_hook = nullptr;
Dialog_Driver platform_dialog_driver = nullptr;
std::vector<std::string> platform_opened_dialogs;

Dialog Platform_Make_Dialog(const Dialog_Template& dialog_template, Dialog_Procedure procedure) {
    Dialog dialog;
    dialog.dialog_template = &dialog_template;
    dialog.procedure = procedure;
    for (int i = 0; i < dialog_template.control_count; i++) {
        Dialog_Control_State state;
        state.control = &dialog_template.controls[i];
        state.text = state.control->text ? state.control->text : "";
        dialog.controls.push_back(state);
    }
    return dialog;
}

intptr_t Platform_Send_Dialog_Message(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (!dialog || !dialog->procedure || dialog->ended) return 0;
    return dialog->procedure(dialog, message, wparam, lparam);
}

int Platform_Dialog_Box(const Dialog_Template& dialog_template, Window* owner, Dialog_Procedure procedure) {
    if (!procedure) return -1;
    platform_opened_dialogs.push_back(dialog_template.name ? dialog_template.name : "");
    Dialog dialog = Platform_Make_Dialog(dialog_template, procedure);
    dialog.owner = owner;
    if (platform_dialog_box_hook) return platform_dialog_box_hook(&dialog);
    Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
    if (!dialog.ended && platform_dialog_driver) platform_dialog_driver(&dialog);
    if (!dialog.ended) Platform_Send_Dialog_Message(&dialog, WM_COMMAND, IDCANCEL, 0);
    return dialog.ended ? dialog.result : IDCANCEL;
}

void Platform_End_Dialog(Dialog* dialog, int result) {
    if (!dialog) return;
    dialog->ended = true;
    dialog->result = result;
}

Dialog_Control_State* Platform_Dialog_Control(Dialog* dialog, int id) {
    if (!dialog) return nullptr;
    for (Dialog_Control_State& state : dialog->controls) {
        if (state.control->id == id) return &state;
    }
    return nullptr;
}

// A control of one kind, or null.
static Dialog_Control_State* Control_Of(Dialog* dialog, int id, Control_Kind kind) {
    Dialog_Control_State* state = Platform_Dialog_Control(dialog, id);
    return state && state->control->kind == kind ? state : nullptr;
}

static void Show(Dialog* dialog, Dialog_Control_State* state) {
    if (dialog->toolkit && platform_dialog_control_hook) platform_dialog_control_hook(dialog, state);
}

bool Platform_Set_Scroll_Range(Dialog* dialog, int id, int minimum, int maximum) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_SCROLL_BAR);
    if (!state) return false;
    state->minimum = minimum;
    state->maximum = std::max(minimum, maximum);
    state->position = std::clamp(state->position, state->minimum, state->maximum);
    Show(dialog, state);
    return true;
}

bool Platform_Set_Scroll_Pos(Dialog* dialog, int id, int position) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_SCROLL_BAR);
    if (!state) return false;
    state->position = std::clamp(position, state->minimum, state->maximum);
    Show(dialog, state);
    return true;
}

int Platform_Get_Scroll_Pos(Dialog* dialog, int id) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_SCROLL_BAR);
    return state ? state->position : -1;
}

bool Platform_Set_Dialog_Item_Text(Dialog* dialog, int id, const char* text) {
    Dialog_Control_State* state = Platform_Dialog_Control(dialog, id);
    if (!state) return false;
    state->text = text ? text : "";
    Show(dialog, state);
    return true;
}

bool Platform_Set_Dialog_Item_Int(Dialog* dialog, int id, unsigned value) {
    return Platform_Set_Dialog_Item_Text(dialog, id, std::to_string(value).c_str());
}

std::string Platform_Get_Dialog_Item_Text(Dialog* dialog, int id) {
    Dialog_Control_State* state = Platform_Dialog_Control(dialog, id);
    return state ? state->text : std::string();
}

bool Platform_Check_Dialog_Button(Dialog* dialog, int id, bool checked) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_CHECK_BOX);
    if (!state) return false;
    state->checked = checked;
    Show(dialog, state);
    return true;
}

bool Platform_Is_Dialog_Button_Checked(Dialog* dialog, int id) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_CHECK_BOX);
    return state && state->checked;
}

bool Platform_List_Add_String(Dialog* dialog, int id, const char* text) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_LIST_BOX);
    if (!state) return false;
    state->entries.emplace_back(text ? text : "");
    Show(dialog, state);
    return true;
}

bool Platform_List_Set_Selection(Dialog* dialog, int id, int index) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_LIST_BOX);
    if (!state) return false;
    state->selection = index >= 0 && index < static_cast<int>(state->entries.size()) ? index : -1;
    Show(dialog, state);
    return state->selection == index;
}

int Platform_List_Get_Selection(Dialog* dialog, int id) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_LIST_BOX);
    return state ? state->selection : -1;
}

bool Platform_Show_Dialog_Picture(Dialog* dialog, int id, const Surface* surface, int x, int y, int width,
                                  int height) {
    Dialog_Control_State* state = Control_Of(dialog, id, CONTROL_PICTURE);
    if (!state || !surface || surface->memory.empty() || surface->lost || width <= 0 || height <= 0) return false;
    if (dialog->toolkit && platform_dialog_picture_hook)
        return platform_dialog_picture_hook(dialog, state, surface, x, y, width, height);
    return true;
}
