// The menu bar on Qt: one QMenuBar on the window's frame, one QMenu per
// chain of submenu titles, one QAction per item.
#include "platform/menu_bar.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/system.h"
#include "platform/window.h"
#include "platform/window_qt.h"

namespace {

struct Menu_Bar_State {
    Window* window = nullptr;
    Menu_Item* items = nullptr;
    int count = 0;
    QPointer<QMenuBar> bar;
    std::vector<QPointer<QAction>> actions;  // one per item, in item order
};

Menu_Bar_State menu_bar;

// The shown state of one item. An item only draws a check box while it is
// checked, as a classic menu does: unchecked items have no empty box.
void Show_Item_State(int index) {
    QAction* action = menu_bar.actions[index];
    if (!action) return;
    const Menu_Item& item = menu_bar.items[index];
    action->setEnabled(!item.grey);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
}

void Show_All_Item_States() {
    if (!menu_bar.bar) return;
    for (int i = 0; i < menu_bar.count; i++) Show_Item_State(i);
}

// The menu for a chain of titles, made on first use under its parent.
QMenu* Menu_For(const QString& place, std::map<QString, QMenu*>* menus) {
    auto found = menus->find(place);
    if (found != menus->end()) return found->second;
    QStringList titles = place.split(QStringLiteral(" > "));
    QString title = titles.takeLast();
    QMenu* menu = nullptr;
    if (titles.isEmpty()) {
        menu = menu_bar.bar->addMenu(title);
    } else {
        menu = Menu_For(titles.join(QStringLiteral(" > ")), menus)->addMenu(title);
    }
    // Whatever changed since the last refresh shows before the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, Show_All_Item_States);
    (*menus)[place] = menu;
    return menu;
}

}  // namespace

bool Platform_Set_Menu(Window* window, Menu_Item* items, int count) {
    QMainWindow* frame = Platform_Qt_Frame(window);
    if (!frame || !items || count <= 0) return false;
    if (menu_bar.bar) delete menu_bar.bar;
    menu_bar = Menu_Bar_State{};
    menu_bar.window = window;
    menu_bar.items = items;
    menu_bar.count = count;
    menu_bar.bar = new QMenuBar(frame);
    std::map<QString, QMenu*> menus;
    for (int i = 0; i < count; i++) {
        QMenu* menu = Menu_For(QString::fromLatin1(items[i].place), &menus);
        QAction* action = menu->addAction(QString::fromLatin1(items[i].text));
        const int id = items[i].id;
        QObject::connect(action, &QAction::triggered, [i, id] {
            // The program decides the check mark: undo Qt's own toggle.
            Show_Item_State(i);
            Platform_Post_Message(menu_bar.window, WM_COMMAND, static_cast<uintptr_t>(id), 0);
        });
        menu_bar.actions.emplace_back(action);
    }
    frame->setMenuBar(menu_bar.bar);
    // A pop-up window has no menu: the bar waits hidden until the frame returns.
    menu_bar.bar->setVisible(Platform_Window_Kind(window) == WINDOW_OVERLAPPED);
    Show_All_Item_States();
    Platform_Update_Window_Record(window);
    return true;
}

void Platform_Refresh_Menu(Window* window) {
    if (window != menu_bar.window) return;
    Show_All_Item_States();
}
