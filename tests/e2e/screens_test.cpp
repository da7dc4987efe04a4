// The full-screen saver on every monitor, end to end: an X display of two
// screens, one X screen of two RandR monitors, and a headless Wayland
// compositor with two outputs. Every monitor shows the moving picture scaled
// to its own shape, nothing black lies over it, and input on any monitor
// ends the saver on all. On Wayland the saver is a native full-screen
// window, a key ends it, and an idle daemon starts and ends it.
#include <QImage>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "e2e/scenario.h"
#include "test_support.h"

#ifndef CALVORINE_SAVER
#error "CALVORINE_SAVER names the calvorine-saver program"
#endif
#ifndef CALVORINE_DEMO_FOLDER
#error "CALVORINE_DEMO_FOLDER names the bundled data folder"
#endif

namespace {

const char* const prelude = R"SH(
set -u
saver() { "$SAVER" --data-dir "$DATA" "$@"; }
# "exit N" once the process has ended, or "exit timeout" (and it is killed).
wait_exit() {
  for _ in $(seq 1 60); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; wait "$1" 2>/dev/null; echo "exit timeout"; return; fi
  wait "$1"; echo "exit $?"
}
alive() { kill -0 "$1" 2>/dev/null && echo yes || echo no; }
)SH";

// Every block of a rectangle shows the picture: more than two colours in
// each 64 x 64 block, so no black window and no bar lies over any of it.
bool Picture_Everywhere(const QImage& image, int left, int top, int width, int height) {
    constexpr int BLOCK = 64;
    for (int y = top; y + BLOCK <= top + height; y += BLOCK) {
        for (int x = left; x + BLOCK <= left + width; x += BLOCK) {
            if (Colours(image, x, y, BLOCK, BLOCK) <= 2) return false;
        }
    }
    return true;
}

// Whether a rectangle is plain black.
bool Black(const QImage& image, int left, int top, int width, int height) {
    return Colours(image, left, top, width, height) == 1 && (image.pixel(left, top) & 0xFFFFFF) == 0;
}

class ScreensE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        data = work.path() + "/windows";
        const std::string command = "mkdir -p '" + data + "' '" + work.path() + "/run' && chmod 700 '" +
                                    work.path() + "/run' && cp -r '" CALVORINE_DEMO_FOLDER "' '" + data +
                                    "/' && touch '" + data + "/Calvorine/no_intro.txt'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Runs the scenario under `server` (an xvfb-run line, or nothing) and
    // keeps its "name value" lines.
    void Run(const std::string& scenario, const std::string& server) {
        const std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        const std::string command = "cd '" + work.path() + "' && SAVER='" CALVORINE_SAVER "' DATA='" + data +
                                    "' WORK='" + work.path() + "' XDG_RUNTIME_DIR='" + work.path() +
                                    "/run' timeout 120 " + server + " bash '" + script + "' 2>'" +
                                    work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    // An X server of the given screens (xvfb-run's -s argument).
    static std::string X_Server(const std::string& screens) {
        return "xvfb-run -a -n " + std::to_string(First_Display_Number(5000)) + " -s '" + screens +
               " -br -noreset'";
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }
    QImage Shot(const std::string& name) { return QImage(QString::fromStdString(work.file(name + ".png"))); }

    TempFolder work;
    std::string data;
    Scenario_Output printed;
    std::string output;
};

}  // namespace

// Two X screens, :N.0 of 1280 x 1024 and :N.1 of 1024 x 768: the saver's
// picture on both, the 4:3 picture with bars above and below on the 5:4
// screen and whole on the other; a click on the second screen ends it.
TEST_F(ScreensE2ETest, TheSaverShowsItsPictureOnEveryXScreen) {
    for (const char* program : {"xvfb-run", "xdotool", "import"}) {
        if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
    }
    Run(R"SH(
export QT_QPA_PLATFORM=xcb
base=${DISPLAY%.*}
xdotool mousemove --screen 0 640 512
saver /s & pid=$!
sleep 3
import -display "$base.0" -window root "$WORK/zero.png"
import -display "$base.1" -window root "$WORK/one.png"
sleep 0.5
import -display "$base.1" -window root "$WORK/one-later.png"
echo "running $(alive $pid)"
xdotool key a
wait_exit $pid
# With the pointer resting on the second screen: a click there, then a jump there.
DISPLAY=$base.1 xdotool mousemove --screen 1 500 400
sleep 0.5
saver /s & pid=$!
sleep 2
DISPLAY=$base.1 xdotool click 1
printf "click_"; wait_exit $pid
saver /s & pid=$!
sleep 2
echo "resting $(alive $pid)"
DISPLAY=$base.1 xdotool mousemove_relative -- 200 0
printf "jump_"; wait_exit $pid
echo "jumps $(grep -c 'Mouse_Has_Moved returns SUCCESS' "$DATA/Calvorine/error_log.txt")"
)SH",
        X_Server("-screen 0 1280x1024x24 -screen 1 1024x768x24"));
    EXPECT_EQ(Said("running"), "yes") << output;
    EXPECT_EQ(Said("exit"), "0");
    // Input on the second screen ends the saver that covers both.
    EXPECT_EQ(Said("click_exit"), "0") << "a click on the second screen";
    EXPECT_EQ(Said("resting"), "yes");
    EXPECT_EQ(Said("jump_exit"), "0") << "a pointer jump on the second screen";
    EXPECT_EQ(Said("jumps"), "1");

    const QImage zero = Shot("zero"), one = Shot("one"), later = Shot("one-later");
    ASSERT_EQ(zero.size(), QSize(1280, 1024)) << output;
    ASSERT_EQ(one.size(), QSize(1024, 768));
    ASSERT_EQ(later.size(), QSize(1024, 768));
    // Screen 0: the picture keeps its shape (1280 x 960 between 32-pixel
    // bars), and nothing covers its top-left part.
    EXPECT_TRUE(Picture_Everywhere(zero, 0, 32, 1280, 960));
    EXPECT_TRUE(Picture_Everywhere(zero, 0, 32, 1024, 768)) << "a black window over the top-left of screen 0";
    EXPECT_TRUE(Black(zero, 0, 0, 1280, 30));
    EXPECT_TRUE(Black(zero, 0, 994, 1280, 30));
    // Screen 1: the whole screen, moving.
    EXPECT_TRUE(Picture_Everywhere(one, 0, 0, 1024, 768));
    EXPECT_FALSE(Same(one, later, 0, 0, 1024, 768)) << "the second screen's picture moves";
}

// One X screen of 2304 x 1024 holding two RandR monitors side by side, of
// 1280 x 1024 and 1024 x 768: each monitor has the picture scaled to its own
// shape, nothing is drawn where no monitor is, and a key ends the saver.
TEST_F(ScreensE2ETest, TheSaverShowsItsPictureOnEveryMonitorOfAnXScreen) {
    for (const char* program : {"xvfb-run", "xdotool", "import", "xrandr"}) {
        if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
    }
    Run(R"SH(
export QT_QPA_PLATFORM=xcb
xrandr --setmonitor left 1280/339x1024/271+0+0 screen > /dev/null
xrandr --setmonitor right 1024/271x768/203+1280+0 none > /dev/null
echo "monitors $(xrandr --listmonitors | sed -n 's/^Monitors: //p')"
xdotool mousemove 640 512
saver /s & pid=$!
sleep 3
import -window root "$WORK/first.png"
sleep 0.5
import -window root "$WORK/second.png"
echo "running $(alive $pid)"
xdotool key a
wait_exit $pid
)SH",
        X_Server("-screen 0 2304x1024x24"));
    ASSERT_EQ(Said("monitors"), "2") << output;
    EXPECT_EQ(Said("running"), "yes");
    EXPECT_EQ(Said("exit"), "0");

    const QImage first = Shot("first"), second = Shot("second");
    ASSERT_EQ(first.size(), QSize(2304, 1024)) << output;
    ASSERT_EQ(second.size(), QSize(2304, 1024));
    // The left monitor: bars above and below the 4:3 picture.
    EXPECT_TRUE(Picture_Everywhere(first, 0, 32, 1280, 960));
    EXPECT_TRUE(Black(first, 0, 0, 1280, 30));
    // The right monitor: the picture fills it, and it moves.
    EXPECT_TRUE(Picture_Everywhere(first, 1280, 0, 1024, 768));
    EXPECT_FALSE(Same(first, second, 1280, 0, 1024, 768));
    EXPECT_FALSE(Same(first, second, 0, 32, 1280, 960));
}

// A Wayland that cannot start (here: no compositor at WAYLAND_DISPLAY, asked
// for by the variable, by QT_QPA_PLATFORM or by the session's type) leaves the
// saver on the X server; with no X server either it says there is no display
// and exits 1. It never aborts.
TEST_F(ScreensE2ETest, WithoutAUsableWaylandTheSaverRunsOnXOrSaysThereIsNoDisplay) {
    for (const char* program : {"xvfb-run", "xdotool"}) {
        if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
    }
    Run(R"SH(
unset QT_QPA_PLATFORM
for how in variable platform session; do
  case $how in
    variable) WAYLAND_DISPLAY=gone saver /s & pid=$! ;;
    platform) QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=gone saver /s & pid=$! ;;
    session) XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=gone saver /s & pid=$! ;;
  esac
  shown=$(timeout 5 xdotool search --sync --onlyvisible --class calvorine-saver 2>/dev/null | head -1)
  echo "$how-shown ${shown:+yes}"
  xdotool key a
  printf "$how-"; wait_exit $pid
done
env -u DISPLAY WAYLAND_DISPLAY=gone "$SAVER" --data-dir "$DATA" /s 2> "$WORK/nothing.txt"
echo "nothing-exit $?"
echo "nothing-said $(cat "$WORK/nothing.txt")"
)SH",
        X_Server("-screen 0 1024x768x24"));
    for (const std::string how : {"variable", "platform", "session"}) {
        EXPECT_EQ(Said(how + "-shown"), "yes") << how << output;
        EXPECT_EQ(Said(how + "-exit"), "0") << how;
    }
    EXPECT_EQ(Said("nothing-exit"), "1");
    EXPECT_EQ(Said("nothing-said"), "calvorine-saver: no display to show the saver on");
}

// ---------------------------------------------------------------------------
// Wayland: a headless compositor run by an ordinary user the test makes (the
// compositor refuses to run as root).

const char* const wayland_session = R"SH(
user=calvorine-wayland
id -u "$user" > /dev/null 2>&1 || useradd --system --no-create-home --shell /bin/sh "$user"
chmod 755 "$WORK"
run="$WORK/user-run"; home="$WORK/user-home"
mkdir -p "$run" "$home"; chmod 700 "$run"
cp -r "$DATA" "$WORK/user-data"
printf 'output HEADLESS-1 resolution 1024x768\nxwayland disable\n' > "$WORK/sway.conf"
chown -R "$user" "$run" "$home" "$WORK/user-data"
as_user() {
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 \
    SWAYSOCK="$(ls "$run"/sway-ipc.*.sock 2>/dev/null | head -1)" "$@"
}
user_saver() { as_user "$SAVER" --data-dir "$WORK/user-data" "$@"; }
runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$WORK/sway.conf" > "$WORK/sway.log" 2>&1 & compositor=$!
# Ending runuser would leave the compositor running: it is asked to leave.
trap 'as_user swaymsg exit > /dev/null 2>&1; wait $compositor 2>/dev/null' EXIT
for _ in $(seq 1 100); do [ -S "$run/wayland-1" ] && ls "$run"/sway-ipc.*.sock > /dev/null 2>&1 && break; sleep 0.1; done
# The saver's windows in the compositor's tree: "shell full-screen x,y,width,height" each.
windows() {
  as_user swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == "calvorine-saver":
        r = node["rect"]
        print("%s %d %d,%d,%d,%d" % (node.get("shell"), node.get("fullscreen_mode", 0), r["x"], r["y"], r["width"], r["height"]))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' | sort | tr '\n' ';'
}
# A pointer of the compositor's own (the headless one has none) that moves $1
# times by ($2, $3) pixels, $4 seconds apart, after a first small move that
# brings it over the window under it. It speaks the Wayland protocol itself.
virtual_pointer() {
  python3 - "$run/wayland-1" "$@" <<'PY'
import socket, struct, sys, time
path, steps, dx, dy, delay = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5])
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM); s.connect(path)
def send(obj, op, payload=b""):
    s.sendall(struct.pack("<II", obj, ((8 + len(payload)) << 16) | op) + payload)
def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)
buffer = b""
def events(until_callback):
    global buffer
    found = {}
    while True:
        while len(buffer) >= 8:
            obj, word = struct.unpack_from("<II", buffer); size = word >> 16
            if len(buffer) < size: break
            body = buffer[8:size]; buffer = buffer[size:]
            if obj == 2 and (word & 0xFFFF) == 0:
                name, length = struct.unpack_from("<II", body)
                found[body[8:8 + length - 1].decode()] = name
            if obj == until_callback: return found
        buffer += s.recv(65536)
send(1, 1, struct.pack("<I", 2))  # get_registry -> 2
send(1, 0, struct.pack("<I", 3))  # sync -> 3
globals_ = events(3)
manager = globals_["zwlr_virtual_pointer_manager_v1"]
send(2, 0, struct.pack("<I", manager) + string("zwlr_virtual_pointer_manager_v1") + struct.pack("<II", 1, 4))
send(4, 0, struct.pack("<II", 0, 5))  # create_virtual_pointer(no seat) -> 5
def move(x, y):
    send(5, 0, struct.pack("<Iii", int(time.monotonic() * 1000) & 0xFFFFFFFF, int(x * 256), int(y * 256)))
    send(5, 4)  # frame
time.sleep(0.5)
move(1, 0); time.sleep(0.3)  # the saver's window hears of the pointer
for _ in range(steps):
    move(dx, dy); time.sleep(delay)
time.sleep(0.3)
PY
}
# The user's saver processes' ids.
saver_pids() { pgrep -u "$user" -x calvorine-saver | tr '\n' ' '; }
# Waits up to $1 tenths of a second for the saver to run (or, with "gone", to end).
wait_saver() {
  for _ in $(seq 1 "$1"); do
    if [ "${2:-}" = gone ]; then [ -z "$(saver_pids)" ] && return; else [ -n "$(saver_pids)" ] && return; fi
    sleep 0.1
  done
}
)SH";

class WaylandE2ETest : public ScreensE2ETest {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "making the compositor's user needs root";
        for (const char* program :
             {"sway", "swaymsg", "grim", "wtype", "swayidle", "python3", "convert", "useradd", "runuser"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
        ScreensE2ETest::SetUp();
    }
};

// Two outputs, of 1024 x 768 and 1920 x 1080 beside it: a full-screen
// xdg_shell window of the saver on each, both showing the picture (the 4:3
// picture between bars on the wide one), and a key ends the saver.
TEST_F(WaylandE2ETest, TheSaverCoversEveryOutputNativelyAndEndsOnAKey) {
    Run(std::string(wayland_session) + R"SH(
as_user swaymsg create_output > /dev/null
echo "outputs $(as_user swaymsg -t get_outputs | grep -c '"name": "HEADLESS')"
user_saver /s > "$WORK/saver.log" 2>&1 & pid=$!
for _ in $(seq 1 50); do [ "$(windows | tr ';' '\n' | grep -c .)" = 2 ] && break; sleep 0.1; done
sleep 2
echo "windows $(windows)"
# The second output's window may show its first picture a moment after the first's.
for _ in $(seq 1 5); do
  as_user grim "$home/outputs.png" && cp "$home/outputs.png" "$WORK/outputs.png"
  [ "$(convert "$WORK/outputs.png" -crop 1440x1080+1264+0 -format %k info: 2>/dev/null || echo 0)" -gt 50 ] && break
  sleep 1
done
echo "running $(alive $pid)"
# The seat has a keyboard only once wtype's is there: the saver needs a
# moment to take it before the key comes.
as_user wtype -s 500 a 2>> "$WORK/wtype.log"
wait_exit $pid
echo "aborted $(grep -c -i 'abort\|could not load the qt platform' "$WORK/saver.log")"
)SH",
        "");
    EXPECT_EQ(Said("outputs"), "2") << output;
    // Native windows of the compositor's own shell, not XWayland's.
    EXPECT_EQ(Said("windows"), "xdg_shell 1 0,0,1024,768;xdg_shell 1 1024,0,1920,1080;") << output;
    EXPECT_EQ(Said("running"), "yes");
    EXPECT_EQ(Said("exit"), "0") << "a key ends the saver";
    EXPECT_EQ(Said("aborted"), "0");

    const QImage outputs = Shot("outputs");
    ASSERT_EQ(outputs.size(), QSize(2944, 1080)) << output;
    EXPECT_TRUE(Picture_Everywhere(outputs, 0, 0, 1024, 768));
    // 1920 x 1080 holds the 4:3 picture as 1440 x 1080 between 240-pixel bars.
    EXPECT_TRUE(Picture_Everywhere(outputs, 1024 + 240, 0, 1440, 1080));
    EXPECT_TRUE(Black(outputs, 1024, 0, 236, 1080));
    EXPECT_TRUE(Black(outputs, 1024 + 1684, 0, 236, 1080));
}

// The pointer ends the saver on Wayland as on X: a quick move does, a slow
// drift does not, and a push into the edge of the output, where the pointer
// stays put, does too (the compositor's relative pointer).
TEST_F(WaylandE2ETest, APointerJumpOrAPushIntoTheEdgeEndsTheSaverButADriftDoesNot) {
    Run(std::string(wayland_session) + R"SH(
log="$WORK/user-data/Calvorine/error_log.txt"
start() {
  user_saver /s > "$WORK/saver.log" 2>&1 & pid=$!
  for _ in $(seq 1 50); do [ -n "$(windows)" ] && break; sleep 0.1; done
  sleep 1.5
}
start
virtual_pointer 20 3 2 0.05
sleep 0.3
echo "after_drift $(alive $pid)"
virtual_pointer 1 200 0 0
printf "jump_"; wait_exit $pid
echo "jump_moved $(grep -c 'Mouse_Has_Moved returns SUCCESS' "$log")"
# Against the right edge of the only output first, then the saver, then a push.
virtual_pointer 10 400 0 0.02
start
echo "resting $(alive $pid)"
virtual_pointer 1 300 0 0
printf "push_"; wait_exit $pid
echo "push_moved $(grep -c 'Mouse_Has_Moved returns SUCCESS' "$log")"
)SH",
        "");
    EXPECT_EQ(Said("after_drift"), "yes") << output;
    EXPECT_EQ(Said("jump_exit"), "0");
    EXPECT_EQ(Said("jump_moved"), "1");
    EXPECT_EQ(Said("resting"), "yes");
    EXPECT_EQ(Said("push_exit"), "0");
    EXPECT_EQ(Said("push_moved"), "1");
}

// The README's idle line: swayidle starts the saver after its timeout, its
// resume ends it, and stopping swayidle ends the saver it started.
TEST_F(WaylandE2ETest, TheIdleDaemonStartsTheSaverAndItsEndEndsIt) {
    Run(std::string(wayland_session) + R"SH(
as_user swayidle timeout 2 "$SAVER --data-dir $WORK/user-data /s" resume "$SAVER --end" \
  > "$WORK/swayidle.log" 2>&1 & idle=$!
sleep 1
echo "before_timeout $(saver_pids | wc -w)"
wait_saver 80
echo "after_timeout $(saver_pids | wc -w)"
sleep 1.5
echo "windows $(windows)"
idle_pid=$(pgrep -u "$user" -x swayidle)
kill -TERM $idle_pid
wait_saver 50 gone
echo "after_idle_daemon_stopped $(saver_pids | wc -w)"
wait $idle 2>/dev/null
# Nothing to end: --end says so by doing nothing.
as_user "$SAVER" --end; echo "end_without_saver $?"
)SH",
        "");
    EXPECT_EQ(Said("before_timeout"), "0") << output;
    EXPECT_EQ(Said("after_timeout"), "1") << output;
    EXPECT_EQ(Said("windows"), "xdg_shell 1 0,0,1024,768;") << output;
    EXPECT_EQ(Said("after_idle_daemon_stopped"), "0") << output;
    EXPECT_EQ(Said("end_without_saver"), "0");
}
