// Menu 101: its items, and the check marks and grey states that follow the
// preset and the display.
#include "shell/shell_fixture.h"

namespace {

class MenuTest : public ShellTest {
protected:
    bool Checked(int id) { return Find_Menu_Item(id)->checked; }
    bool Grey(int id) { return Find_Menu_Item(id)->grey; }
};

}  // namespace

TEST_F(MenuTest, EveryItemHasItsOwnIdentifier) {
    std::set<int> ids;
    for (const Menu_Item& item : menu_101) {
        EXPECT_TRUE(ids.insert(item.id).second) << item.id;
        EXPECT_NE(std::string(item.text).find('&'), std::string::npos) << item.id;
    }
    EXPECT_STREQ(Find_Menu_Item(40034)->text, "Save &As");
    EXPECT_STREQ(Find_Menu_Item(40026)->text, "Full &Screen");
    EXPECT_STREQ(Find_Menu_Item(40063)->text, "C&ustom");
    EXPECT_STREQ(Find_Menu_Item(40056)->text, "D&irection");
    EXPECT_EQ(Find_Menu_Item(40000), nullptr);
}

TEST_F(MenuTest, WithoutAMenuNothingChanges) {
    Prepare(SAVER);
    app.show_fps = true;
    EXPECT_EQ(Update_Menu_Checks(), 1);
    EXPECT_FALSE(Checked(MENU_VIEW_FPS));
}

TEST_F(MenuTest, TheChecksFollowThePreset) {
    Prepare(CONFIGURE);
    PlasmaSettings& s = plasma_settings;
    app.show_fps = true;
    app.vsync = false;
    s.symmetry = 2;
    s.overlay_on = 1;
    s.overlay_shape = 4;
    s.blend_mode = 2;
    s.brighten = 1;
    s.titles_on = 0;
    s.kaleidoscope_stretch = 1;
    Update_Menu_Checks();
    EXPECT_TRUE(Checked(MENU_VIEW_FPS));
    EXPECT_FALSE(Checked(MENU_VIEW_VSYNC));
    EXPECT_TRUE(Checked(MENU_SYMMETRY_FOUR_FOLD));
    EXPECT_FALSE(Checked(MENU_SYMMETRY_ASYMMETRIC));
    EXPECT_TRUE(Checked(MENU_VIEW_SCOPE_CUSTOM));
    EXPECT_FALSE(Checked(MENU_VIEW_SCOPE_OFF));
    EXPECT_TRUE(Checked(MENU_BLEND_LIGHT));
    EXPECT_FALSE(Checked(MENU_BLEND_OFF));
    EXPECT_TRUE(Checked(MENU_PLASMA_BRIGHTEN));
    EXPECT_FALSE(Checked(MENU_VIEW_TITLES));
    EXPECT_TRUE(Checked(MENU_SCOPE_STRETCH));

    s.overlay_on = 0;
    Update_Menu_Checks();
    EXPECT_TRUE(Checked(MENU_VIEW_SCOPE_OFF));
    EXPECT_FALSE(Checked(MENU_VIEW_SCOPE_CUSTOM));
}

TEST_F(MenuTest, TheSlideItemsNeedTheKaleidoscopeAndTheSlides) {
    Prepare(CONFIGURE);
    PlasmaSettings& s = plasma_settings;
    s.kaleidoscope_on = 0;
    s.slides_on = 0;
    Update_Menu_Checks();
    EXPECT_FALSE(Checked(MENU_SCOPE_ON));
    for (int id : {MENU_SCOPE_SLIDES_ON, MENU_SCOPE_SLIDES_SPEED, MENU_SCOPE_SLIDES_DIRECTION,
                   MENU_SCOPE_SLIDES_OBJECTS_SELECT}) {
        EXPECT_TRUE(Grey(id)) << id;
    }
    // Compacting keeps its state without the kaleidoscope.
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_COMPACT));

    s.kaleidoscope_on = 1;
    Update_Menu_Checks();
    EXPECT_TRUE(Checked(MENU_SCOPE_ON));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_ON));
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_SPEED));
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_COMPACT));

    s.slides_on = 1;
    Update_Menu_Checks();
    EXPECT_TRUE(Checked(MENU_SCOPE_SLIDES_ON));
    for (int id :
         {MENU_SCOPE_SLIDES_SPEED, MENU_SCOPE_SLIDES_BACKGROUND, MENU_SCOPE_SLIDES_ZONES, MENU_SCOPE_SLIDES_DEFAULT,
          MENU_SCOPE_SLIDES_OBJECTS_SELECT, MENU_SCOPE_SLIDES_DIRECTION, MENU_SCOPE_SLIDES_COMPACT}) {
        EXPECT_FALSE(Grey(id)) << id;
    }
}

TEST_F(MenuTest, TheDepthGreysWhatItCannotShow) {
    Prepare(CONFIGURE, 64, 48, 8);
    Update_Menu_Checks();
    for (int id = MENU_VIEW_SCOPE_CIRCLE; id <= MENU_VIEW_SCOPE_OFF; id++) EXPECT_TRUE(Grey(id)) << id;
    EXPECT_TRUE(Grey(MENU_PLASMA_BRIGHTEN));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_FADE));

    app.screen_bpp = 24;
    Update_Menu_Checks();
    EXPECT_FALSE(Grey(MENU_VIEW_SCOPE_CIRCLE));
    EXPECT_FALSE(Grey(MENU_PLASMA_BRIGHTEN));
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_FADE));

    app.screen_bpp = 16;
    Update_Menu_Checks();
    EXPECT_TRUE(Grey(MENU_PLASMA_BRIGHTEN));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_FADE));
}
