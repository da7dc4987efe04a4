// Calvorine under the real XScreenSaver daemon, as a user of a system-wide
// installation meets it: the build is installed into a prefix of its own
// (laid out as the Debian package lays it out under /usr), an ordinary user
// the test makes puts Calvorine in the daemon's list with
// `calvorine-setup --xscreensaver`, and xscreensaver-command blanks and
// unblanks an Xvfb screen. The daemon runs no hack for root, so the test
// needs root to make that user.
#include <QImage>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "e2e/scenario.h"
#include "test_support.h"

#ifndef CALVORINE_BUILD_DIR
#error "CALVORINE_BUILD_DIR names the build folder that is installed"
#endif
#ifndef CALVORINE_SAVER
#error "CALVORINE_SAVER names the built saver"
#endif

namespace {

// The tests' ordinary users: one each, as ctest may run them side by side.
constexpr const char* ACTIVATION_USER = "calvorine-xss1";
constexpr const char* TWO_SCREENS_USER = "calvorine-xss2";
constexpr const char* CONFIGURATION_USER = "calvorine-xss3";

class XscreensaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "making the daemon's ordinary user needs root";
        for (const char* program : {"xscreensaver", "xscreensaver-command", "xvfb-run", "import", "useradd", "userdel",
                                    "runuser", "pgrep"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
    }

    void TearDown() override {
        if (!user.empty()) (void)!std::system(("userdel " + user + " > /dev/null 2>&1").c_str());
    }

    // Runs the scenario under a fresh Xvfb with the given screens, after the
    // installation, the user, its settings and the helpers.
    void Run(const char* test_user, const std::string& screens, const std::string& scenario) {
        user = test_user;
        const std::string script = work.file("scenario.sh");
        std::ofstream(script) << R"SH(
set -u
PREFIX="$WORK/prefix"; user=)SH" << user << R"SH(
cmake --install "$BUILD" --prefix "$PREFIX" > "$WORK/install.log" 2>&1
echo "installed $?"
id -u "$user" > /dev/null 2>&1 || useradd --system --no-create-home --shell /bin/sh "$user"
chmod 755 "$WORK"
home="$WORK/home"; run="$WORK/run"
mkdir -p "$home" "$run"; chmod 700 "$run"
# A user who runs XScreenSaver already, without Calvorine.
cat > "$home/.xscreensaver" <<'SETTINGS'
timeout:	0:10:00
lock:		False
fade:		False
unfade:		False
splash:		False
mode:		random
programs:								      \
		abstractile -root				    \n\
  -		binaryring -root				    \n
SETTINGS
cp "$home/.xscreensaver" "$WORK/settings-before"
chown -R "$user" "$home" "$run"
as_user() {
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" \
    XDG_DATA_DIRS="$PREFIX/share" "$@"
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
hacks() { pgrep -u "$user" -f "$PREFIX/libexec/xscreensaver/calvorine --root"; }
# The wall-clock time at which a process was forked, from its start time.
forked_ms() {
  local now age
  now=$(now_ms)
  age=$(awk -v up="$(cut -d' ' -f1 /proc/uptime)" -v hz="$(getconf CLK_TCK)" \
    '{ printf "%d\n", (up - $22 / hz) * 1000 }' "/proc/$1/stat")
  echo $((now - age))
}
# Whether a process is gone (or only waits to be reaped).
ended() { [ ! -e "/proc/$1" ] || [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ]; }

# The one command that puts Calvorine in the daemon's list.
list_calvorine() {
  as_user "$PREFIX/bin/calvorine-setup" --xscreensaver > "$WORK/setup.txt" 2>&1
  echo "listing $?"
}
data="$home/.local/share/Calvorine"
as_user xscreensaver -no-splash -verbose > "$WORK/daemon.log" 2>&1 & daemon=$!
stop_daemon() { kill "$daemon" 2>/dev/null; wait "$daemon" 2>/dev/null; }
trap stop_daemon EXIT
for _ in $(seq 100); do as_user xscreensaver-command -time > /dev/null 2>&1 && break; sleep 0.1; done
)SH" << scenario;
        const std::string command = "cd '" + work.path() + "' && WORK='" + work.path() + "' BUILD='" +
                                    CALVORINE_BUILD_DIR + "' timeout 300 xvfb-run -a -n " +
                                    std::to_string(First_Display_Number(7000)) + " -s '" + screens +
                                    " -ac -br -noreset' bash '" + script + "' 2>'" + work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
        EXPECT_EQ(Said("installed"), "0") << output;
    }

    QImage Picture(const std::string& name) { return QImage(QString::fromStdString(work.file(name))); }
    std::string Said(const std::string& name) const { return printed.Said(name); }
    int Number(const std::string& name) const { return std::atoi(Said(name).c_str()); }

    TempFolder work;
    Scenario_Output printed;
    std::string output, user;
};

// The share of sampled pixels that equal their mirror image across the
// picture's middle column (a kaleidoscope's picture is mirrored; a plain
// plasma is not), one pixel of give either way for the scaling.
double Mirrored_Share(const QImage& image) {
    int same = 0, all = 0;
    const int width = image.width();
    for (int y = 0; y < image.height(); y += 8) {
        for (int x = 0; x < width / 2; x += 8) {
            const QRgb pixel = image.pixel(x, y);
            bool found = false;
            for (int give = -1; give <= 1 && !found; give++) {
                const int mirror = width - 1 - x + give;
                found = mirror >= 0 && mirror < width && image.pixel(mirror, y) == pixel;
            }
            same += found;
            all++;
        }
    }
    return all ? static_cast<double>(same) / all : 0.0;
}

}  // namespace

TEST_F(XscreensaverTest, TheFirstActivationShowsTheMovingPictureAtOnceAndDeactivationEndsTheHack) {
    Run(ACTIVATION_USER, "-screen 0 640x480x24", R"SH(
list_calvorine
echo "listed $(grep -c "\"Calvorine\"  $PREFIX/libexec/xscreensaver/calvorine --root" "$home/.xscreensaver")"
echo "kept_programs $(grep -c -e 'abstractile -root' -e 'binaryring -root' "$home/.xscreensaver")"
echo "kept_timeout $(grep -c '^timeout:	0:10:00$' "$home/.xscreensaver")"
echo "backup_is_old $(cmp -s "$WORK/settings-before" "$home/.xscreensaver.bak" && echo yes)"

# The first activation of a user whose data folder is still to be made.
as_user xscreensaver-command -activate > /dev/null 2>&1
hack=""
for _ in $(seq 500); do hack=$(hacks | head -1); [ -n "$hack" ] && break; sleep 0.01; done
echo "hack ${hack:-none}"
fork=$(forked_ms "$hack")
while [ $(( $(now_ms) - fork )) -lt 800 ]; do sleep 0.01; done
echo "first_shot_ms $(( $(now_ms) - fork ))"
import -window root "$WORK/first.png"
import -window root "$WORK/second.png"
started=$(now_ms)
as_user xscreensaver-command -deactivate > /dev/null 2>&1
while ! ended "$hack" && [ $(( $(now_ms) - started )) -lt 5000 ]; do sleep 0.01; done
echo "ended_ms $(( $(now_ms) - started ))"
for _ in $(seq 100); do [ -f "$data/Welcome.DAT" ] && break; sleep 0.1; done
echo "set_up $(grep -c 'calvorine folder set up from' "$data/error_log.txt" 2>/dev/null)"
echo "left_beside $(ls -A "$home/.local/share" | grep -vc '^Calvorine$')"

# The user's own default preset is what the hack shows, as /s shows it.
cp "$data/Crystal Kaleidoscope.DAT" "$data/default.dat"
as_user xscreensaver-command -activate > /dev/null 2>&1
sleep 2
import -window root "$WORK/default.png"
as_user xscreensaver-command -deactivate > /dev/null 2>&1
)SH");
    EXPECT_EQ(Said("listing"), "0") << Read_Text(work.file("setup.txt"));
    EXPECT_EQ(Said("listed"), "1") << output;
    EXPECT_EQ(Said("kept_programs"), "2");
    EXPECT_EQ(Said("kept_timeout"), "1");
    EXPECT_EQ(Said("backup_is_old"), "yes");
    ASSERT_NE(Said("hack"), "none") << Read_Text(work.file("daemon.log"));

    // The first picture was taken within a second of the fork, and moves.
    EXPECT_LT(Number("first_shot_ms"), 1000);
    const QImage first = Picture("first.png"), second = Picture("second.png");
    ASSERT_FALSE(first.isNull()) << output;
    ASSERT_FALSE(second.isNull());
    EXPECT_GT(Colours(first, 0, 0, first.width(), first.height()), 50u);
    EXPECT_FALSE(Same(first, second, 0, 0, first.width(), first.height()));
    EXPECT_LT(Number("ended_ms"), 500);
    EXPECT_EQ(Said("set_up"), "1");
    EXPECT_EQ(Said("left_beside"), "0");

    const QImage preset = Picture("default.png");
    ASSERT_FALSE(preset.isNull());
    EXPECT_GT(Colours(preset, 0, 0, preset.width(), preset.height()), 50u);
    EXPECT_GT(Mirrored_Share(preset), 0.9) << "the default preset's kaleidoscope is not on the screen";
    EXPECT_LT(Mirrored_Share(first), 0.5) << "the plain plasma of a new user looks mirrored";
}

TEST_F(XscreensaverTest, TheTwoScreenDisplayRunsOneHackPerScreen) {
    Run(TWO_SCREENS_USER, "-screen 0 640x480x24 -screen 1 512x384x24", R"SH(
list_calvorine
as_user xscreensaver-command -activate > /dev/null 2>&1
for _ in $(seq 300); do [ "$(hacks | wc -l)" -ge 2 ] && break; sleep 0.01; done
sleep 2
echo "hacks $(hacks | wc -l)"
display=${DISPLAY%.*}
import -display "$display.0" -window root "$WORK/screen0.png"
import -display "$display.1" -window root "$WORK/screen1.png"
as_user xscreensaver-command -deactivate > /dev/null 2>&1
for _ in $(seq 100); do [ "$(hacks | wc -l)" -eq 0 ] && break; sleep 0.05; done
echo "hacks_after $(hacks | wc -l)"
)SH");
    EXPECT_EQ(Said("listing"), "0") << Read_Text(work.file("setup.txt"));
    EXPECT_EQ(Said("hacks"), "2") << Read_Text(work.file("daemon.log"));
    for (const char* name : {"screen0.png", "screen1.png"}) {
        const QImage screen = Picture(name);
        ASSERT_FALSE(screen.isNull()) << name << output;
        EXPECT_GT(Colours(screen, 0, 0, screen.width(), screen.height()), 50u) << name;
    }
    EXPECT_EQ(Picture("screen1.png").width(), 512);
    EXPECT_EQ(Said("hacks_after"), "0");
}

// The package leaves the users' files alone: a user who opens the
// configuration window for the first time is told that Calvorine was put in
// XScreenSaver's list, and a user who takes it out again is not overruled.
TEST_F(XscreensaverTest, TheFirstConfigurationRunOfThePackageListsCalvorineOnce) {
    if (!Installed("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    Run(CONFIGURATION_USER, "-screen 0 1024x768x24", R"SH(
find_window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
as_user "$PREFIX/bin/calvorine-saver" /c & saver=$!
welcome=$(find_window '^Welcome to Calvorine$')
echo "welcome ${welcome:-none}"
xdotool windowfocus --sync "$welcome" key Return
message=$(find_window '^Message$')
echo "message ${message:-none}"
echo "listed $(grep -c "\"Calvorine\"  $PREFIX/libexec/xscreensaver/calvorine --root" "$home/.xscreensaver")"
echo "backup_is_old $(cmp -s "$WORK/settings-before" "$home/.xscreensaver.bak" && echo yes)"
echo "logged $(grep -c "Calvorine is now XScreenSaver's display mode" "$data/error_log.txt")"
xdotool windowfocus --sync "$message" key Return
window=$(find_window '^ Calvorine:   ')
echo "window ${window:-none}"
xdotool windowfocus --sync "$window" key Escape
wait "$saver"

# Taken out again by the user: the next first run of the window leaves it out.
cp "$WORK/settings-before" "$home/.xscreensaver"
as_user "$PREFIX/bin/calvorine-saver" /c & saver=$!
window=$(find_window '^ Calvorine:   ')
sleep 0.5
echo "message_again $(xdotool search --onlyvisible --name '^Message$' 2>/dev/null | head -1)"
echo "left_out $(cmp -s "$WORK/settings-before" "$home/.xscreensaver" && echo yes)"
xdotool windowfocus --sync "$window" key Escape
wait "$saver"
)SH");
    EXPECT_NE(Said("welcome"), "none") << output;
    EXPECT_NE(Said("message"), "none") << output;
    EXPECT_EQ(Said("listed"), "1");
    EXPECT_EQ(Said("backup_is_old"), "yes");
    EXPECT_EQ(Said("logged"), "1");
    EXPECT_NE(Said("window"), "none");
    EXPECT_EQ(Said("message_again"), "");
    EXPECT_EQ(Said("left_out"), "yes");
}

// Help is given at once, on a machine without a display and for a user
// without a data folder; an unknown option is refused the same way.
TEST(SaverUsage, HelpNeedsNoDisplayAndNoDataFolder) {
    TempFolder home;
    Scenario_Output printed;
    const std::string command = "cd '" + home.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + home.path() +
                                "' XDG_DATA_HOME='" + home.file("share") + "' sh -c '" +
                                "timeout 5 " CALVORINE_SAVER " --help > help.txt 2> help-errors.txt; echo \"help $?\"; " +
                                "timeout 5 " CALVORINE_SAVER " /s --colour > usage.txt 2> usage-errors.txt; " +
                                "echo \"unknown $?\"; echo \"left $(ls -A | wc -l)\"'";
    ASSERT_TRUE(printed.Run_Command(command));
    EXPECT_EQ(printed.Said("help"), "0") << printed.text;
    const std::string help = Read_Text(home.file("help.txt"));
    EXPECT_EQ(help.rfind("Usage: calvorine-saver", 0), 0u) << help;
    for (const char* option : {"--root", "--window-id", "--preset", "--random", "--fps", "--data-dir"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(Read_Text(home.file("help-errors.txt")), "");
    EXPECT_EQ(printed.Said("unknown"), "2");
    EXPECT_EQ(Read_Text(home.file("usage.txt")), "");
    EXPECT_EQ(Read_Text(home.file("usage-errors.txt")), "calvorine-saver: unknown option --colour\n" + help);
    // The four files of the redirections, and no data folder.
    EXPECT_EQ(printed.Said("left"), "4");
}
