// The release archive end to end: made by CPack, unpacked into a temporary
// folder, installed by calvorine-setup under Xvfb with the dialogs clicked
// through from the keyboard, and then run by the real XScreenSaver daemon
// as an ordinary user's display mode.
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

#include "e2e/scenario.h"
#include "test_support.h"

#ifndef CALVORINE_CPACK_CONFIG
#error "CALVORINE_CPACK_CONFIG names the build's CPack configuration"
#endif

namespace {

const char* const prelude = R"SH(
set -u
export QT_QPA_PLATFORM=xcb
# The first visible window whose name matches, waiting up to 60 seconds. A
# search fails outright when a window goes away under it: it is tried again.
find_window() {
  for _ in $(seq 1 300); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$found" ] && { echo "$found"; return; }
    sleep 0.2
  done
}
# Gives a window the keyboard and presses a key there.
press() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null; sleep 1; xdotool key "$2"; }
wait_exit() {
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; wait "$1" 2>/dev/null; echo "timeout"; return; fi
  wait "$1"; echo "$?"
}
shot() { import -window root "$WORK/$1.png"; }
# The release archive, unpacked into $1.
unpack() {
  (cd "$WORK" && cpack -G TGZ --config "$CPACK_CONFIG" -B "$WORK/cpack" >/dev/null 2>&1)
  mkdir -p "$1" && tar -xzf "$WORK/cpack/calvorine-1.3.tar.gz" -C "$1"
  echo "unpacked $(ls "$1/calvorine-1.3" | tr '\n' ' ')"
}
# Clicks through the three consent dialogs and the success box with Return.
consent() {
  n=0
  for name in '^Install Calvorine Screensaver$' '^WARNING!$' '^Important:- Please Read Before Continuing\.$' \
              '^Install Successful$'; do
    n=$((n + 1)); id=$(find_window "$name")
    if [ -z "$id" ]; then echo "dialog_$n missing"; return; fi
    echo "dialog_$n shown"; press "$id" Return
  done
}
# The configuration window the installer opens: the welcome box first.
close_configuration() {
  intro=$(find_window '^Welcome to Calvorine$')
  echo "welcome ${intro:+shown}"
  [ -n "$intro" ] && press "$intro" Return
  config=$(find_window '^ Calvorine')
  echo "config ${config:+shown}"
  [ -z "$config" ] && return
  sleep 1
  echo "icon $(xprop -id "$config" _NET_WM_ICON 2>/dev/null | grep -c 'Icon (32 x 32)')"
  geometry=$(xwininfo -id "$config" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
  echo "config_geometry $geometry"
  shot config
  saver=$(xdotool getwindowpid "$config")
  press "$config" Escape
  # Not this shell's child: the installer started it detached.
  for _ in $(seq 1 100); do kill -0 "$saver" 2>/dev/null || break; sleep 0.1; done
  echo "config_exit $(kill -0 "$saver" 2>/dev/null && echo alive || echo ended)"
}
)SH";

class SetupE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"xvfb-run", "xdotool", "import", "xwininfo", "xprop", "cpack", "tar"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
    }

    void Run(const std::string& scenario) {
        std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        // -ac: the daemon's user, not the one who started the server, draws on it too.
        std::string command =
            "cd '" + work.path() + "' && WORK='" + work.path() + "' CPACK_CONFIG='" + CALVORINE_CPACK_CONFIG +
            "' timeout 300 xvfb-run -a -n " + std::to_string(First_Display_Number(3000)) +
            " -s '-screen 0 1024x768x24 -ac -br -noreset' bash '" + script + "' 2>'" + work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }
    QImage Shot(const std::string& name) { return QImage(QString::fromStdString(work.file(name + ".png"))); }

    static int Differing_Pixels(const QImage& a, const QImage& b) {
        int differing = 0;
        for (int y = 0; y < a.height() && y < b.height(); y += 4) {
            for (int x = 0; x < a.width() && x < b.width(); x += 4) differing += a.pixel(x, y) != b.pixel(x, y);
        }
        return differing;
    }

    TempFolder work;
    Scenario_Output printed;
    std::string output;
};

}  // namespace

TEST_F(SetupE2ETest, TheArchiveInstallsForAUserAndOpensTheConfiguration) {
    Run(R"SH(
unpack "$WORK/unpacked"
export HOME="$WORK/home"; unset XDG_DATA_HOME; mkdir -p "$HOME"
cd "$WORK/unpacked/calvorine-1.3"
./calvorine-setup & setup=$!
consent
close_configuration
# Not in a command substitution: only this shell can wait for its child.
wait_exit "$setup" > "$WORK/setup_exit.txt"; echo "setup_exit $(cat "$WORK/setup_exit.txt")"
data="$HOME/.local/share"
for f in Calvorine.scr Calvorine/Welcome.DAT Calvorine/Mandala.DAT Calvorine/Data/Help.HLP Calvorine/Data/Bmp/Font.bmp \
         Calvorine/Data/Bmp/About.bmp Calvorine/Data/Bmp/Objects/0.bmp Calvorine/Data/Bmp/Overlays/Heart.bmp \
         Calvorine/no_intro.txt Calvorine/default.dat; do
  [ -f "$data/$f" ] || echo "missing $f"
done
echo "frame_converter $([ -d "$data/Calvorine/Data/Frame Converter" ] && echo yes)"
echo "mode $(grep -c 'Saver_Mode = CONFIGURE' "$data/Calvorine/error_log.txt")"
echo "registered $(grep -c "^SCRNSAVE.EXE=$data/Calvorine.scr\$" "$data/system.ini")"
echo "xscreensaver $(grep -c "\"Calvorine\"  $data/Calvorine.scr --root" "$HOME/.xscreensaver")"
echo "link $(readlink "$HOME/.local/bin/calvorine-saver")"
echo "sound $(head -c 4 Include/Error.wav)"
)SH");
    EXPECT_EQ(Said("unpacked"), "Calvorine Calvorine.dat Include calvorine-setup calvorine.xml ") << output;
    for (const char* dialog : {"dialog_1", "dialog_2", "dialog_3", "dialog_4"})
        EXPECT_EQ(Said(dialog), "shown") << output;
    EXPECT_EQ(Said("welcome"), "shown");
    EXPECT_EQ(Said("config"), "shown");
    EXPECT_EQ(Said("icon"), "1");
    EXPECT_EQ(Said("config_exit"), "ended");
    EXPECT_EQ(Said("setup_exit"), "0");
    EXPECT_EQ(output.find("missing"), std::string::npos) << output;
    EXPECT_EQ(Said("frame_converter"), "yes");
    EXPECT_EQ(Said("mode"), "1");
    EXPECT_EQ(Said("registered"), "1");
    EXPECT_EQ(Said("xscreensaver"), "1");
    EXPECT_EQ(Said("link"), work.path() + "/home/.local/share/Calvorine.scr");
    EXPECT_EQ(Said("sound"), "RIFF");

    // The configuration window showed the installed presets' moving picture.
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(Said("config_geometry").c_str(), "%d %d %d %d", &x, &y, &width, &height), 4) << output;
    QImage config = Shot("config");
    ASSERT_FALSE(config.isNull());
    EXPECT_GT(Colours(config, x + width / 4, y + height / 4, width / 2, height / 2), 20u);
}

// The daemon launches no hack for root, so the test runs it as an ordinary
// user that it creates (and keeps for later runs).
TEST_F(SetupE2ETest, XScreenSaverRunsCalvorineAsTheUsersDisplayMode) {
    for (const char* program : {"xscreensaver", "xscreensaver-command", "useradd", "runuser"}) {
        if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (geteuid() != 0) GTEST_SKIP() << "creating the daemon's user needs root";
    Run(R"SH(
user=calvorine-e2e
id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /bin/sh "$user"
chmod 755 "$WORK"
home="$WORK/user-home"; run="$WORK/user-run"
mkdir -p "$home" "$run"; chmod 700 "$run"
# Settings of the user's own, which the installer must keep.
printf 'fade:\t\tFalse\nunfade:\t\tFalse\nlock:\t\tFalse\nsplash:\t\tFalse\ntimeout:\t0:30:00\n' > "$home/.xscreensaver"
unpack "$WORK/unpacked"
chown -R "$user" "$home" "$run" "$WORK/unpacked"
as_user() {
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" \
    QT_QPA_PLATFORM=xcb "$@"
}
(cd "$WORK/unpacked/calvorine-1.3" && as_user ./calvorine-setup) & setup=$!
consent
close_configuration
# Not in a command substitution: only this shell can wait for its child.
wait_exit "$setup" > "$WORK/setup_exit.txt"; echo "setup_exit $(cat "$WORK/setup_exit.txt")"
echo "kept $(grep -c -e '^lock:' -e '^timeout:' "$home/.xscreensaver")"
as_user xscreensaver -no-splash > "$WORK/daemon.log" 2>&1 & daemon=$!
sleep 3
as_user xscreensaver-command -activate > /dev/null 2>&1
hack=""
for _ in $(seq 1 50); do
  hack=$(ps -u "$user" -o pid=,args= | awk '/Calvorine\.scr/ && !/awk/ {print $1; exit}')
  [ -n "$hack" ] && break; sleep 0.2
done
echo "hack ${hack:+running}"
echo "hack_args $(ps -o args= -p "$hack" 2>/dev/null | awk '{print $2}')"
echo "hack_window $(tr '\0' '\n' < /proc/$hack/environ 2>/dev/null | grep -c '^XSCREENSAVER_WINDOW=')"
# The first frames come once the hack has loaded its objects, which takes
# longer on a busy machine: wait for its first whole frame in its log.
for _ in $(seq 1 150); do
  grep -q 'Exitting Run_Calvorine' "$home/.local/share/Calvorine/error_log.txt" 2>/dev/null && break; sleep 0.2
done
sleep 2
shot first; sleep 1; shot second
as_user xscreensaver-command -deactivate > /dev/null 2>&1
for _ in $(seq 1 50); do kill -0 "$hack" 2>/dev/null || break; sleep 0.1; done
echo "hack_after $(kill -0 "$hack" 2>/dev/null && echo alive || echo ended)"
echo "log_ended $(grep -cE $'^Exitting Shutdown\r?$' "$home/.local/share/Calvorine/error_log.txt")"
as_user xscreensaver-command -exit > /dev/null 2>&1
wait_exit "$daemon" > /dev/null
)SH");
    EXPECT_EQ(Said("setup_exit"), "0") << output;
    EXPECT_EQ(Said("kept"), "2");
    EXPECT_EQ(Said("hack"), "running") << output;
    EXPECT_EQ(Said("hack_args"), "--root");
    EXPECT_EQ(Said("hack_window"), "1");
    QImage first = Shot("first"), second = Shot("second");
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_GT(Colours(first, 0, 0, first.width(), first.height()), 50u);
    EXPECT_GT(Differing_Pixels(first, second), 1000);
    EXPECT_EQ(Said("hack_after"), "ended");
    EXPECT_EQ(Said("log_ended"), "1");
}
