// Control_Dialog records and their controls; the modal run is the window layer's.
#include "platform/dialog.h"

#include <algorithm>
#include <string>

#include "platform/ddraw.h"
#include "platform/window.h"

Control_Dialog_Hook platform_control_dialog_hook = nullptr;
Control_Show_Hook platform_control_show_hook = nullptr;
Control_Picture_Hook platform_control_picture_hook = nullptr;
Control_Dialog_Driver platform_control_dialog_driver = nullptr;
std::vector<std::string> platform_opened_dialogs;

Control_Dialog Platform_Make_Control_Dialog(const Control_Dialog_Template& dialog_template,
                                            Control_Dialog_Procedure procedure) {
    Control_Dialog dialog;
    dialog.dialog_template = &dialog_template;
    dialog.procedure = procedure;
    for (int i = 0; i < dialog_template.control_count; i++) {
        Control_State state;
        state.control = &dialog_template.controls[i];
        state.text = state.control->text ? state.control->text : "";
        dialog.controls.push_back(state);
    }
    return dialog;
}

intptr_t Platform_Send_Dialog_Message(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (!dialog || !dialog->procedure || dialog->ended) return 0;
    return dialog->procedure(dialog, message, wparam, lparam);
}

int Platform_Control_Dialog_Box(const Control_Dialog_Template& dialog_template, Window* owner,
                                Control_Dialog_Procedure procedure) {
    if (!procedure) return -1;
    platform_opened_dialogs.push_back(dialog_template.name ? dialog_template.name : "");
    Control_Dialog dialog = Platform_Make_Control_Dialog(dialog_template, procedure);
    dialog.owner = owner;
    if (platform_control_dialog_hook) return platform_control_dialog_hook(&dialog);
    Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
    if (!dialog.ended && platform_control_dialog_driver) platform_control_dialog_driver(&dialog);
    if (!dialog.ended) Platform_Send_Dialog_Message(&dialog, WM_COMMAND, IDCANCEL, 0);
    return dialog.ended ? dialog.result : IDCANCEL;
}

void Platform_End_Control_Dialog(Control_Dialog* dialog, int result) {
    if (!dialog) return;
    dialog->ended = true;
    dialog->result = result;
}

Control_State* Platform_Dialog_Control(Control_Dialog* dialog, int id) {
    if (!dialog) return nullptr;
    for (Control_State& state : dialog->controls) {
        if (state.control->id == id) return &state;
    }
    return nullptr;
}

// A control of one kind, or null.
static Control_State* Control_Of(Control_Dialog* dialog, int id, Control_Kind kind) {
    Control_State* state = Platform_Dialog_Control(dialog, id);
    return state && state->control->kind == kind ? state : nullptr;
}

static void Show(Control_Dialog* dialog, Control_State* state) {
    if (dialog->toolkit && platform_control_show_hook) platform_control_show_hook(dialog, state);
}

bool Platform_Set_Scroll_Range(Control_Dialog* dialog, int id, int minimum, int maximum) {
    Control_State* state = Control_Of(dialog, id, DIALOG_SCROLL_BAR);
    if (!state) return false;
    state->minimum = minimum;
    state->maximum = std::max(minimum, maximum);
    state->position = std::clamp(state->position, state->minimum, state->maximum);
    Show(dialog, state);
    return true;
}

bool Platform_Set_Scroll_Pos(Control_Dialog* dialog, int id, int position) {
    Control_State* state = Control_Of(dialog, id, DIALOG_SCROLL_BAR);
    if (!state) return false;
    state->position = std::clamp(position, state->minimum, state->maximum);
    Show(dialog, state);
    return true;
}

int Platform_Get_Scroll_Pos(Control_Dialog* dialog, int id) {
    Control_State* state = Control_Of(dialog, id, DIALOG_SCROLL_BAR);
    return state ? state->position : -1;
}

bool Platform_Set_Dialog_Item_Text(Control_Dialog* dialog, int id, const char* text) {
    Control_State* state = Platform_Dialog_Control(dialog, id);
    if (!state) return false;
    state->text = text ? text : "";
    Show(dialog, state);
    return true;
}

bool Platform_Set_Dialog_Item_Int(Control_Dialog* dialog, int id, unsigned value) {
    return Platform_Set_Dialog_Item_Text(dialog, id, std::to_string(value).c_str());
}

std::string Platform_Get_Dialog_Item_Text(Control_Dialog* dialog, int id) {
    Control_State* state = Platform_Dialog_Control(dialog, id);
    return state ? state->text : std::string();
}

bool Platform_Check_Dialog_Button(Control_Dialog* dialog, int id, bool checked) {
    Control_State* state = Control_Of(dialog, id, DIALOG_CHECK_BOX);
    if (!state) return false;
    state->checked = checked;
    Show(dialog, state);
    return true;
}

bool Platform_Is_Dialog_Button_Checked(Control_Dialog* dialog, int id) {
    Control_State* state = Control_Of(dialog, id, DIALOG_CHECK_BOX);
    return state && state->checked;
}

bool Platform_List_Add_String(Control_Dialog* dialog, int id, const char* text) {
    Control_State* state = Control_Of(dialog, id, DIALOG_LIST_BOX);
    if (!state) return false;
    state->entries.emplace_back(text ? text : "");
    Show(dialog, state);
    return true;
}

bool Platform_List_Set_Selection(Control_Dialog* dialog, int id, int index) {
    Control_State* state = Control_Of(dialog, id, DIALOG_LIST_BOX);
    if (!state) return false;
    state->selection = index >= 0 && index < static_cast<int>(state->entries.size()) ? index : -1;
    Show(dialog, state);
    return state->selection == index;
}

int Platform_List_Get_Selection(Control_Dialog* dialog, int id) {
    Control_State* state = Control_Of(dialog, id, DIALOG_LIST_BOX);
    return state ? state->selection : -1;
}

bool Platform_Show_Dialog_Picture(Control_Dialog* dialog, int id, const Surface* surface, int x, int y, int width,
                                  int height) {
    Control_State* state = Control_Of(dialog, id, DIALOG_PICTURE);
    if (!state || !surface || surface->memory.empty() || surface->lost || width <= 0 || height <= 0) return false;
    if (dialog->toolkit && platform_control_picture_hook)
        return platform_control_picture_hook(dialog, state, surface, x, y, width, height);
    return true;
}
