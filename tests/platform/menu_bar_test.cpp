// The menu bar the window layer builds from menu 101, under the offscreen
// Qt platform: submenus and texts, access letters, commands, check marks
// and grey states, and the bar leaving with full screen.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <set>
#include <string>
#include <vector>

#include "platform/menu_bar.h"
#include "platform/window.h"
#include "platform/window_qt.h"
#include "preset/menu.h"
#include "test_support.h"

namespace {

intptr_t Quiet_Procedure(Window*, unsigned, uintptr_t, intptr_t) { return 0; }

class MenuBarTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
        ASSERT_TRUE(Platform_Register_Window_Class("Calvorine", Quiet_Procedure));
        Load_Menu();
        window = Platform_Create_Window(WINDOW_OVERLAPPED, " Calvorine", 50, 40, 400, 300, 0);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(Platform_Set_Menu(window, menu_101, MENU_ITEM_COUNT));
        Platform_Show_Window(window, SW_SHOWNORMAL);
        bar = Platform_Qt_Frame(window)->menuBar();
    }
    void TearDown() override {
        Platform_Stop_Window_Layer();
        Load_Menu();
        ProgramTest::TearDown();
    }

    QAction* Action(int id) {
        const Menu_Item* item = Find_Menu_Item(id);
        for (QAction* action : bar->findChildren<QAction*>()) {
            if (action->menu() || action->text() != QString::fromLatin1(item->text)) continue;
            // Texts repeat across submenus ("&On", "&Select"): the submenu's title decides.
            QMenu* owner = qobject_cast<QMenu*>(action->parent());
            QString place = QString::fromLatin1(item->place);
            if (owner && place.endsWith(owner->title())) return action;
        }
        return nullptr;
    }

    // The access letter of a text, upper case, or 0.
    static QChar Access_Letter(const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text[at + 1].toUpper() : QChar();
    }

    Window* window = nullptr;
    QMenuBar* bar = nullptr;
};

}  // namespace

TEST_F(MenuBarTest, TheBarHasTheFiveMenusAndEveryItemInItsPlace) {
    std::vector<std::string> titles;
    for (QAction* action : bar->actions()) titles.push_back(action->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"&Presets", "&View", "P&lasma", "&Kaleidoscope", "&Help"}));
    for (const Menu_Item& item : menu_101) EXPECT_NE(Action(item.id), nullptr) << item.text;
}

TEST_F(MenuBarTest, NoTwoEntriesOfAMenuShareAnAccessLetter) {
    std::vector<QList<QAction*>> menus{bar->actions()};
    for (QMenu* menu : bar->findChildren<QMenu*>()) menus.push_back(menu->actions());
    for (const QList<QAction*>& entries : menus) {
        std::set<QChar> letters;
        for (QAction* action : entries) {
            QChar letter = Access_Letter(action->text());
            EXPECT_FALSE(letter.isNull()) << action->text().toStdString();
            EXPECT_TRUE(letters.insert(letter).second) << action->text().toStdString();
        }
    }
}

TEST_F(MenuBarTest, ChoosingAnItemPostsItsCommandAndLeavesTheCheckToTheProgram) {
    Posted_Message message;
    while (Platform_Peek_Message(&message, true)) {}
    Action(MENU_PRESETS_SAVE_AS)->trigger();
    Action(MENU_VIEW_FPS)->trigger();
    std::vector<uintptr_t> commands;
    while (Platform_Peek_Message(&message, true)) {
        if (message.message == WM_COMMAND) commands.push_back(message.wparam);
    }
    EXPECT_EQ(commands, (std::vector<uintptr_t>{MENU_PRESETS_SAVE_AS, MENU_VIEW_FPS}));
    // Choosing does not check the item: only the program's model does.
    EXPECT_FALSE(Action(MENU_VIEW_FPS)->isChecked());
}

TEST_F(MenuBarTest, ChecksAndGreysFollowTheModelAtEachRefreshAndWhenAMenuOpens) {
    Find_Menu_Item(MENU_VIEW_FPS)->checked = true;
    Find_Menu_Item(MENU_SCOPE_SLIDES_SPEED)->grey = true;
    Platform_Refresh_Menu(window);
    EXPECT_TRUE(Action(MENU_VIEW_FPS)->isChecked());
    EXPECT_FALSE(Action(MENU_SCOPE_SLIDES_SPEED)->isEnabled());
    EXPECT_TRUE(Action(MENU_SCOPE_SLIDES_ON)->isEnabled());

    // Changed without a refresh: the menu shows it when it opens.
    Find_Menu_Item(MENU_VIEW_FPS)->checked = false;
    QMenu* view = qobject_cast<QMenu*>(Action(MENU_VIEW_FPS)->parent());
    emit view->aboutToShow();
    EXPECT_FALSE(Action(MENU_VIEW_FPS)->isChecked());
    EXPECT_FALSE(Action(MENU_VIEW_FPS)->isCheckable());
}

TEST_F(MenuBarTest, TheBarLeavesWithFullScreenAndComesBackWithTheFrame) {
    EXPECT_TRUE(bar->isVisible());
    ASSERT_TRUE(Platform_Set_Window_Kind(window, WINDOW_POPUP));
    Platform_Show_Window(window, SW_SHOW);
    EXPECT_FALSE(bar->isVisible());
    ASSERT_TRUE(Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED));
    Platform_Show_Window(window, SW_SHOW);
    EXPECT_TRUE(bar->isVisible());
}

TEST(MenuBarHeadless, AWindowWithoutTheToolkitKeepsOnlyTheModel) {
    Window record;
    EXPECT_FALSE(Platform_Set_Menu(&record, menu_101, MENU_ITEM_COUNT));
    Platform_Refresh_Menu(&record);
}
