// End to end on a real X screen: the built calvorine-saver under Xvfb,
// driven with xdotool and photographed with ImageMagick's import. Each test
// runs one short scenario script on a fresh server and checks what it
// printed, the pictures and the files the saver left behind.
#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "e2e/scenario.h"
#include "plasma/plasma_settings.h"
#include "test_support.h"

#ifndef CALVORINE_SAVER
#error "CALVORINE_SAVER names the calvorine-saver program"
#endif
#ifndef CALVORINE_DEMO_FOLDER
#error "CALVORINE_DEMO_FOLDER names the bundled data folder"
#endif

namespace {

constexpr long PRESET_SIZE = 10136;

// Helpers every scenario may use. Times are bounded so that a saver that
// hangs fails its test instead of the whole run.
const char* const prelude = R"SH(
set -u
export QT_QPA_PLATFORM=xcb
saver() { "$SAVER" --data-dir "$DATA" "$@"; }
# The first visible window whose name matches, waiting up to 5 seconds.
find_window() { timeout 5 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
find_saver() { timeout 5 xdotool search --sync --onlyvisible --class calvorine-saver 2>/dev/null | head -1; }
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
# "exit N" once the process has ended, or "exit timeout" (and it is killed).
wait_exit() {
  for _ in $(seq 1 60); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; wait "$1" 2>/dev/null; echo "exit timeout"; return; fi
  wait "$1"; echo "exit $?"
}
alive() { kill -0 "$1" 2>/dev/null && echo yes || echo no; }
# Whether the pointer's present image shows anything (XFixes).
cursor() {
  command -v python3 >/dev/null || { echo unknown; return; }
  python3 - <<'PY'
import ctypes
try:
    x = ctypes.CDLL("libX11.so.6"); xf = ctypes.CDLL("libXfixes.so.3")
except OSError:
    print("unknown"); raise SystemExit
class Image(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
xf.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
xf.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
image = xf.XFixesGetCursorImage(x.XOpenDisplay(None)).contents
count = image.width * image.height
print("shown" if any((image.pixels[i] >> 24) & 0xFF for i in range(count)) else "hidden")
PY
}
shot() { import -window root "$WORK/$1.png"; }
)SH";

class SaverE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"xvfb-run", "xdotool", "import", "xwininfo"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
        data = work.path() + "/windows";
        std::string command = "mkdir -p '" + data + "' '" + work.path() + "/run' && chmod 700 '" + work.path() +
                              "/run' && cp -r '" CALVORINE_DEMO_FOLDER "' '" + data + "/'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        folder = data + "/Calvorine";
    }

    // Runs the scenario under a fresh X server of the given depth and keeps
    // its "name value..." lines.
    void Run(const std::string& scenario, int depth = 24) {
        std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        std::string command = "cd '" + work.path() + "' && SAVER='" CALVORINE_SAVER "' DATA='" + data + "' WORK='" +
                              work.path() + "' XDG_RUNTIME_DIR='" + work.path() + "/run' XDG_DATA_DIRS='" +
                              work.path() + "/system' timeout 60 xvfb-run -a -n " +
                              std::to_string(First_Display_Number(1000)) + " -s '-screen 0 1024x768x" +
                              std::to_string(depth) + " -br -noreset' bash '" + script + "' 2>'" +
                              work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }

    // The title of the data folder's default preset ("default" when it has none).
    std::string Default_Title() {
        PlasmaSettings preset{};
        std::ifstream file(folder + "/default.dat", std::ios::binary);
        file.read(reinterpret_cast<char*>(&preset), sizeof preset);
        preset.title[sizeof preset.title - 1] = '\0';
        return preset.title[0] ? preset.title : "default";
    }

    QImage Shot(const std::string& name) { return QImage(QString::fromStdString(work.file(name + ".png"))); }

    std::vector<std::string> Log_Lines() { return ::Log_Lines(folder + "/error_log.txt"); }

    int Log_Position(const std::string& record) {
        std::vector<std::string> lines = Log_Lines();
        for (size_t i = 0; i < lines.size(); i++) {
            if (lines[i] == record) return static_cast<int>(i);
        }
        return -1;
    }

    TempFolder work;
    std::string data, folder;
    Scenario_Output printed;
    std::string output;
};

}  // namespace

TEST_F(SaverE2ETest, TheConfigurationWindowIsACentredSquareOfMovingPlasma) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
xdotool mousemove 500 400
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
sleep 1
echo "window $(geometry "$id")"
echo "cursor $(cursor)"
echo "caption $(xdotool getwindowname "$id")"
shot first; sleep 0.5; shot second
xdotool key Escape
wait_exit $pid
)SH");
    EXPECT_EQ(Said("window"), "256 128 512 512") << output;
    EXPECT_EQ(Said("exit"), "0");
    EXPECT_NE(Said("cursor"), "hidden");
    // The caption names the default preset by its title.
    EXPECT_EQ(Said("caption"), " Calvorine:   " + Default_Title());

    QImage first = Shot("first"), second = Shot("second");
    ASSERT_EQ(first.size(), QSize(1024, 768));
    ASSERT_EQ(second.size(), QSize(1024, 768));
    EXPECT_GT(Colours(first, 256, 128, 512, 512), 100u);
    EXPECT_FALSE(Same(first, second, 256, 128, 512, 512)) << "the plasma moves";
    // Nothing is drawn outside the window.
    EXPECT_EQ(Colours(first, 0, 0, 250, 768), 1u);
    EXPECT_EQ(first.pixel(10, 10) & 0xFFFFFF, 0u);

    EXPECT_EQ(File_Size(folder + "/default.dat"), PRESET_SIZE);

    // The log of a clean run, in its order.
    std::vector<std::string> lines = Log_Lines();
    ASSERT_GE(lines.size(), 8u) << output;
    EXPECT_EQ(lines[1], "Calvorine Error Log File");
    EXPECT_EQ(lines[2], "Windows 2000");
    const char* const in_order[] = {"System Width 1024 System Height 768 System_Bpp 32",
                                    "Saver_Mode = CONFIGURE",
                                    "Entering Setup",
                                    "Entering Setup_Windowed_Direct_Draw",
                                    "Exitting Setup",
                                    "Enter Log_Memory_Statistics",
                                    "Exitting Log_Memory_Statistics",
                                    "Entering Refresh_Plasma",
                                    "Exitting Refresh_Plasma",
                                    "Entering Run_Calvorine",
                                    "Exitting Run_Calvorine",
                                    "Entering Shutdown"};
    int previous = -1;
    for (const char* record : in_order) {
        int position = Log_Position(record);
        EXPECT_GT(position, previous) << record;
        previous = position;
    }
    EXPECT_EQ(lines.back(), "Exitting Shutdown");
    for (const std::string& line : lines) EXPECT_EQ(line.find("FAILED"), std::string::npos) << line;
}

TEST_F(SaverE2ETest, TheFirstConfigurationRunWelcomesTheUserOnce) {
    Run(R"SH(
saver /c & pid=$!
box=$(find_window '^Welcome to Calvorine$')
echo "welcome ${box:-none}"
xdotool windowfocus --sync "$box" key Return
id=$(find_window '^ Calvorine:   ')
echo "window ${id:-none}"
sleep 0.3
xdotool key Escape
wait_exit $pid
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
echo "welcome_again $(xdotool search --onlyvisible --name '^Welcome to Calvorine$' 2>/dev/null | head -1)"
xdotool key Escape
wait_exit $pid
)SH");
    EXPECT_NE(Said("welcome"), "none") << output;
    EXPECT_NE(Said("window"), "none");
    EXPECT_EQ(Said("welcome_again"), "");
    EXPECT_EQ(Said("exit"), "0");
    EXPECT_EQ(File_Size(folder + "/no_intro.txt"), 0);
}

TEST_F(SaverE2ETest, TheSaverCoversTheScreenAndEndsOnAJumpButNotOnADrift) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
xdotool mousemove 512 384
saver /s & pid=$!
id=$(find_saver)
sleep 1
echo "window $(geometry "$id")"
echo "cursor $(cursor)"
shot saver
start=$(date +%s%N)
saver /s; code=$?
echo "second $code $(( ($(date +%s%N) - start) / 1000000 ))"
echo "after_second $(alive $pid)"
xdotool key 1
sleep 0.3
echo "after_1 $(alive $pid)"
for _ in $(seq 1 20); do xdotool mousemove_relative -- 3 2; sleep 0.05; done
sleep 0.3
echo "after_drift $(alive $pid)"
xdotool mousemove_relative -- 200 0
wait_exit $pid
)SH");
    EXPECT_EQ(Said("window"), "0 0 1024 768") << output;
    EXPECT_NE(Said("cursor"), "shown");
    QImage picture = Shot("saver");
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    EXPECT_GT(Colours(picture, 0, 0, 1024, 768), 100u);
    EXPECT_GT(Colours(picture, 0, 0, 64, 64), 3u) << "the picture reaches the corners";
    EXPECT_GT(Colours(picture, 960, 704, 64, 64), 3u);

    std::istringstream second(Said("second"));
    int code = -1, milliseconds = -1;
    second >> code >> milliseconds;
    EXPECT_EQ(code, 0);
    EXPECT_LT(milliseconds, 2000) << "a second saver leaves at once";
    EXPECT_EQ(Said("after_second"), "yes");
    EXPECT_EQ(Said("after_1"), "yes");
    EXPECT_EQ(Said("after_drift"), "yes");
    EXPECT_EQ(Said("exit"), "0");
    EXPECT_NE(Log_Position("Run_Calvorine(): Mouse_Has_Moved returns SUCCESS - exitting saver"), -1);
    EXPECT_NE(Log_Position("Saver_Mode = SAVER"), -1);
}

TEST_F(SaverE2ETest, AMovementIntoTheScreensEdgeEndsTheSaver) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
# The pointer rests against the right edge: pushing further moves no position.
xdotool mousemove 1023 384
saver /s & pid=$!
find_saver >/dev/null
sleep 1
echo "resting $(alive $pid)"
xdotool mousemove_relative -- 300 0
printf "pushed "; wait_exit $pid
)SH");
    EXPECT_EQ(Said("resting"), "yes") << output;
    EXPECT_EQ(Said("pushed"), "exit 0");
    EXPECT_NE(Log_Position("Run_Calvorine(): Mouse_Has_Moved returns SUCCESS - exitting saver"), -1);
}

TEST_F(SaverE2ETest, TheSaverEndsOnAKeyOrAButtonAndKeepsNoDefault) {
    std::ifstream original(folder + "/default.dat", std::ios::binary);
    std::string before((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    Run(R"SH(
xdotool mousemove 512 384
saver /s & pid=$!
find_saver >/dev/null
sleep 0.5
xdotool key a
wait_exit $pid
saver /s & pid=$!
find_saver >/dev/null
sleep 0.5
xdotool click 1
# Not in a command substitution: a subshell cannot wait for this shell's child.
wait_exit $pid > "$WORK/click.txt"
echo "click $(cat "$WORK/click.txt")"
)SH");
    EXPECT_EQ(Said("exit"), "0") << output;
    EXPECT_EQ(Said("click"), "exit 0");
    std::ifstream after_file(folder + "/default.dat", std::ios::binary);
    std::string after((std::istreambuf_iterator<char>(after_file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, before);
}

// The on-screen benchmark reads the saver's own count: with
// CALVORINE_FRAME_REPORT set it prints the frames shown and the seconds since
// the first once a second, and the whole run at its end.
TEST_F(SaverE2ETest, TheFrameReportCountsOnceASecondAndForTheWholeRun) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
xdotool mousemove 512 384
CALVORINE_FRAME_REPORT=1 saver /s 2>"$WORK/report.txt" & pid=$!
find_saver >/dev/null
sleep 3
xdotool key a
wait_exit $pid
sed -n 's/^calvorine-saver: frames=\([0-9]*\) seconds=\([0-9.]*\)$/second \1 \2/p' "$WORK/report.txt"
sed -n 's/^calvorine-saver: frames=\([0-9]*\) seconds=\([0-9.]*\) fps=[0-9.]*$/whole \1 \2/p' "$WORK/report.txt"
)SH");
    EXPECT_EQ(Said("exit"), "0") << output;
    const std::vector<std::string> each_second = printed.All("second");
    ASSERT_GE(each_second.size(), 2u) << output;
    long last_frames = 0;
    double last_seconds = 0.0;
    for (const std::string& line : each_second) {
        std::istringstream values(line);
        long frames = -1;
        double seconds = -1.0;
        values >> frames >> seconds;
        EXPECT_GT(frames, last_frames) << line;
        EXPECT_GT(seconds, last_seconds) << line;
        last_frames = frames;
        last_seconds = seconds;
    }
    std::istringstream whole(Said("whole"));
    long frames = -1;
    double seconds = -1.0;
    whole >> frames >> seconds;
    EXPECT_GE(frames, last_frames) << output;
    EXPECT_GE(seconds, last_seconds) << output;
}

TEST_F(SaverE2ETest, TerminationSignalsEndTheSaverInOrderAndKeepTheSettings) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
# Job control: background jobs keep SIGINT as it is instead of ignoring it.
set -m
for sig in TERM INT HUP; do
  rm -f "$DATA/Calvorine/default.dat"
  "$SAVER" --data-dir "$DATA" /c & pid=$!
  find_window '^ Calvorine:   ' >/dev/null
  sleep 0.3
  kill -$sig $pid
  printf "$sig "; wait_exit $pid
  echo "$sig-default $(stat -c %s "$DATA/Calvorine/default.dat" 2>/dev/null || echo none)"
  echo "$sig-last $(tail -n 1 "$DATA/Calvorine/error_log.txt" | tr -d '\r' | tr ' ' _)"
done
"$SAVER" --data-dir "$DATA" /s & pid=$!
find_saver >/dev/null
sleep 0.5
kill -TERM $pid
printf "saver "; wait_exit $pid
echo "saver-last $(tail -n 1 "$DATA/Calvorine/error_log.txt" | tr -d '\r' | tr ' ' _)"
)SH");
    for (const char* signal : {"TERM", "INT", "HUP"}) {
        const std::string name = signal;
        EXPECT_EQ(Said(name), "exit 0") << output;
        // The configuration run saves the default preset, as on Escape.
        EXPECT_EQ(Said(name + "-default"), std::to_string(PRESET_SIZE)) << name;
        // The log ends as an orderly shut-down ends it.
        EXPECT_EQ(Said(name + "-last"), "Exitting_Shutdown") << name;
    }
    EXPECT_EQ(Said("saver"), "exit 0");
    EXPECT_EQ(Said("saver-last"), "Exitting_Shutdown");
}

TEST_F(SaverE2ETest, WithoutTheDataFolderTheWindowAsksForAReinstallAndTheSaverLeaves) {
    ASSERT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
    Run(R"SH(
saver /c & pid=$!
box=$(find_window '^Error$')
echo "box ${box:-none}"
xdotool windowfocus --sync "$box" key Return
wait_exit $pid
start=$(date +%s%N)
saver /s
echo "saver $? $(( ($(date +%s%N) - start) / 1000000 ))"
)SH");
    EXPECT_NE(Said("box"), "none") << output;
    EXPECT_EQ(Said("exit"), "0");
    std::istringstream saver(Said("saver"));
    int code = -1, milliseconds = -1;
    saver >> code >> milliseconds;
    EXPECT_EQ(code, 0);
    EXPECT_LT(milliseconds, 2000);
    EXPECT_EQ(File_Size(folder + "/error_log.txt"), -1);
}

TEST_F(SaverE2ETest, ThePreviewDrawsInsideItsHostWindowWhereTheSystemHasPreviews) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
start=$(date +%s%N)
saver /p 1234
echo "nt5 $? $(( ($(date +%s%N) - start) / 1000000 ))"
# Only property events: an xev that redirects its children's maps would never show ours.
xev -event property -geometry 320x240+100+100 > "$WORK/xev.txt" &
host=$!
for _ in $(seq 1 50); do grep -q 'Outer window' "$WORK/xev.txt" && break; sleep 0.1; done
parent=$(printf '%d' "$(sed -n 's/^Outer window is \(0x[0-9a-f]*\).*/\1/p' "$WORK/xev.txt")")
CALVORINE_TEST_VERSION=98 "$SAVER" --data-dir "$DATA" /p "$parent" & pid=$!
sleep 1.5
shot preview
kill $host
wait_exit $pid
)SH");
    std::istringstream nt5(Said("nt5"));
    int code = -1, milliseconds = -1;
    nt5 >> code >> milliseconds;
    EXPECT_EQ(code, 0) << output;
    EXPECT_LT(milliseconds, 2000);

    QImage picture = Shot("preview");
    ASSERT_EQ(picture.size(), QSize(1024, 768)) << output;
    EXPECT_GT(Colours(picture, 100, 100, 320, 240), 50u);
    EXPECT_EQ(Colours(picture, 500, 0, 500, 768), 1u) << "nothing outside the host window";
    // The host window's end ends the preview.
    EXPECT_EQ(Said("exit"), "0");
    EXPECT_NE(Log_Position("Saver_Mode = PREVIEW"), -1);
    EXPECT_NE(Log_Position("Windows 98"), -1);
}

TEST_F(SaverE2ETest, ThePasswordChangeSaysWhyItCannot) {
    Run(R"SH(
saver /a 77
echo "exit $?"
)SH");
    EXPECT_EQ(Said("exit"), "0") << output;
    EXPECT_NE(Log_Position("MPR.DLL not found: cannot change password."), -1);
    EXPECT_EQ(Log_Position("Saver_Mode = CONFIGURE"), -1);
}

TEST_F(SaverE2ETest, TheWindowShowsTheDesktopsSixteenBitDepth) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
sleep 1
shot window16
xdotool key Escape
wait_exit $pid
)SH",
        16);
    EXPECT_EQ(Said("exit"), "0") << output;
    EXPECT_NE(Log_Position("System Width 1024 System Height 768 System_Bpp 16"), -1);
    QImage picture = Shot("window16");
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(Colours(picture, 256, 128, 512, 512), 100u);
}

class SaverDepthTest : public SaverE2ETest, public ::testing::WithParamInterface<int> {};

// The running saver in the preset's own mode at each depth: 640 x 480 at 32,
// 24, 16 and 8 bits per pixel, scaled over the whole screen.
TEST_P(SaverDepthTest, TheSaverFillsTheScreenAtThePresetsDepth) {
    const int code = GetParam();
    // The preferred resolution is the preset's second 32-bit field.
    std::fstream preset(folder + "/default.dat", std::ios::binary | std::ios::in | std::ios::out);
    ASSERT_TRUE(preset);
    const char little_endian[4] = {static_cast<char>(code), 0, 0, 0};
    preset.seekp(4);
    preset.write(little_endian, sizeof little_endian);
    preset.close();
    Run(R"SH(
xdotool mousemove 512 384
saver /s & pid=$!
find_saver >/dev/null
sleep 1
shot depth
xdotool key Escape
wait_exit $pid
)SH");
    EXPECT_EQ(Said("exit"), "0") << output;
    static const std::map<int, int> depths = {{1, 32}, {6, 24}, {11, 16}, {16, 8}};
    EXPECT_NE(Log_Position("Entering Setup_Direct_Draw"), -1);
    QImage picture = Shot("depth");
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    EXPECT_GT(Colours(picture, 0, 0, 1024, 768), depths.at(code) == 8 ? 20u : 100u);
    // The depth shows in the colours that reach the screen: 8 bits give at
    // most a palette's 256, 16 bits only channels widened from 5 and 6 bits.
    std::set<QRgb> colours;
    bool widened = true;
    for (int y = 0; y < 768; y += 3) {
        for (int x = 0; x < 1024; x += 3) {
            QRgb pixel = picture.pixel(x, y) & 0xFFFFFF;
            colours.insert(pixel);
            int red = qRed(pixel), green = qGreen(pixel), blue = qBlue(pixel);
            widened = widened && (red & 7) == (red >> 5) && (green & 3) == (green >> 6) && (blue & 7) == (blue >> 5);
        }
    }
    if (depths.at(code) == 8) {
        EXPECT_LE(colours.size(), 256u);
    } else if (depths.at(code) == 16) {
        EXPECT_TRUE(widened);
    } else {
        EXPECT_FALSE(widened);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, SaverDepthTest, ::testing::Values(1, 6, 11, 16));

// Calvorine as a screen-saver host's hack: it fills the window it is handed,
// follows that window's size, ignores the keyboard and the mouse, takes no
// single-instance flag, saves nothing and ends in order on SIGTERM or SIGINT.
TEST_F(SaverE2ETest, AHostedSaverFillsItsHostWindowAndEndsOnASignal) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
before=$(md5sum "$DATA/Calvorine/default.dat" | cut -c1-32)
xev -event property -geometry 320x240+100+100 > "$WORK/xev.txt" &
host=$!
for _ in $(seq 1 50); do grep -q 'Outer window' "$WORK/xev.txt" && break; sleep 0.1; done
parent=$(sed -n 's/^Outer window is \(0x[0-9a-f]*\).*/\1/p' "$WORK/xev.txt")
"$SAVER" --data-dir "$DATA" --window-id "$parent" & pid=$!
sleep 2
shot small
xdotool mousemove 200 200 click 1 mousemove 400 300 key Escape key x
sleep 0.5
echo "alive_after_input $(alive $pid)"
echo "lock $([ -e "$WORK/run/calvorine-saver.lock" ] && echo taken || echo none)"
xdotool windowsize "$parent" 480 360
sleep 1.5
shot large
start=$(date +%s%N)
kill -TERM $pid
# Not in a command substitution: only this shell can wait for its child.
wait_exit $pid > "$WORK/term.txt"
echo "term $(cat "$WORK/term.txt") $(( ($(date +%s%N) - start) / 1000000 ))"
echo "default $([ "$before" = "$(md5sum "$DATA/Calvorine/default.dat" | cut -c1-32)" ] && echo kept || echo changed)"
echo "shutdown_traced $(grep -cE $'^Exitting Shutdown\r?$' "$DATA/Calvorine/error_log.txt")"
# The daemon's way: --root with the window in the environment, here as small
# as the settings program's preview pane; and SIGINT.
xdotool windowsize "$parent" 160 120
sleep 0.5
XSCREENSAVER_WINDOW=$(printf '%d' "$parent") "$SAVER" --data-dir "$DATA" -root & pid=$!
sleep 2
shot environment
kill -INT $pid
wait_exit $pid > "$WORK/int.txt"
echo "int $(cat "$WORK/int.txt")"
"$SAVER" --data-dir "$DATA" --window-id 0x12zz
echo "bad_window $?"
kill $host
)SH");
    EXPECT_EQ(Said("alive_after_input"), "yes") << output;
    EXPECT_EQ(Said("lock"), "none");
    std::istringstream term(Said("term"));
    std::string word;
    int code = -1, milliseconds = -1;
    term >> word >> code >> milliseconds;
    EXPECT_EQ(code, 0) << output;
    EXPECT_LT(milliseconds, 2000);
    EXPECT_EQ(Said("default"), "kept");
    EXPECT_EQ(Said("shutdown_traced"), "1");
    EXPECT_EQ(Said("int"), "exit 0");
    EXPECT_EQ(Said("bad_window"), "2");

    QImage small = Shot("small"), large = Shot("large"), environment = Shot("environment");
    ASSERT_EQ(small.size(), QSize(1024, 768)) << output;
    EXPECT_GT(Colours(small, 100, 100, 320, 240), 50u);
    EXPECT_EQ(Colours(small, 500, 0, 500, 768), 1u) << "nothing outside the host window";
    // The grown window is filled to its new corner.
    ASSERT_EQ(large.size(), QSize(1024, 768));
    EXPECT_GT(Colours(large, 440, 360, 120, 80), 20u);
    EXPECT_EQ(Colours(large, 600, 0, 400, 768), 1u);
    ASSERT_EQ(environment.size(), QSize(1024, 768));
    EXPECT_GT(Colours(environment, 100, 100, 160, 120), 20u);
    EXPECT_EQ(Colours(environment, 300, 0, 700, 768), 1u);
}

// ---------------------------------------------------------------------------
// The configuration window worked from the keyboard alone.

TEST_F(SaverE2ETest, TheMenuAndDialogsWorkFromTheKeyboard) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
echo "window ${id:-none}"
xdotool windowfocus --sync "$id"; sleep 0.5
# Presets > Open, a bundled preset by name.
xdotool key alt+p; sleep 0.3; xdotool key o
open=$(find_window '^Open$')
echo "open ${open:-none}"
sleep 0.3; xdotool type --delay 20 'Cathedral.DAT'; xdotool key Return
sleep 1
echo "opened $(xdotool getwindowname "$id")"
shot before
# Plasma > Contrast: End takes the bar to its low end, Return is OK.
xdotool key alt+l; sleep 0.3; xdotool key c
contrast=$(find_window '^Plasma Contrast$')
echo "contrast ${contrast:-none}"
sleep 0.3; xdotool key End; sleep 0.2; xdotool key Return
sleep 1.5
shot after
# Presets > Save As under a new name.
xdotool key alt+p; sleep 0.3; xdotool key a
save=$(find_window '^Save As$')
echo "save ${save:-none}"
sleep 0.3; xdotool type --delay 20 'Low Contrast'; xdotool key Return
sleep 1
echo "caption $(xdotool getwindowname "$id")"
# View > Full Screen, and back with Space.
xdotool key alt+v; sleep 0.3; xdotool key s
sleep 1.5
# Restyling the window gives it a new X window each way.
echo "full $(geometry "$(find_saver)")"
xdotool key space
sleep 1.5
id=$(find_window '^ Calvorine:   ')
echo "back $(geometry "$id")"
xdotool windowfocus --sync "$id" key Escape
wait_exit $pid
)SH");
    EXPECT_NE(Said("window"), "none") << output;
    EXPECT_NE(Said("open"), "none") << output;
    EXPECT_NE(Said("opened").find("Cathedral"), std::string::npos) << output;
    EXPECT_NE(Said("contrast"), "none") << output;
    EXPECT_NE(Said("save"), "none") << output;
    EXPECT_EQ(File_Size(folder + "/Low Contrast.dat"), PRESET_SIZE);
    EXPECT_NE(Said("caption").find("Low Contrast"), std::string::npos) << output;
    EXPECT_EQ(Said("full"), "0 0 1024 768");
    EXPECT_NE(Said("back"), "0 0 1024 768");
    EXPECT_EQ(Said("exit"), "0");
    // The contrast changed the picture.
    QImage before = Shot("before"), after = Shot("after");
    ASSERT_FALSE(before.isNull());
    ASSERT_FALSE(after.isNull());
    EXPECT_NE(before, after);
    // The saved preset carries the new contrast.
    PlasmaSettings saved{};
    std::ifstream file(folder + "/Low Contrast.dat", std::ios::binary);
    file.read(reinterpret_cast<char*>(&saved), sizeof saved);
    EXPECT_EQ(saved.contrast, 60);
}

TEST_F(SaverE2ETest, CompactObjectsEndsTheProgramAfterItsMessage) {
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
xdotool windowfocus --sync "$id"; sleep 0.5
# The kaleidoscope on, then Objects > Compact Objects; the item waits for
# the slides, which the default preset may or may not have on.
xdotool key 9; sleep 0.5
compact() {
  xdotool key alt+k; sleep 0.3; xdotool key l; sleep 0.3; xdotool key j; sleep 0.3; xdotool key c; sleep 1
}
compact
if [ -z "$(xdotool search --onlyvisible --name '^Message$' 2>/dev/null)" ]; then
  xdotool key Escape Escape Escape Escape; sleep 0.3
  xdotool key alt+k; sleep 0.3; xdotool key l; sleep 0.3; xdotool key o; sleep 0.8
  compact
fi
box=$(find_window '^Message$')
echo "message ${box:-none}"
echo "running $(alive $pid)"
xdotool windowfocus --sync "$box" key Return
wait_exit $pid
)SH");
    EXPECT_NE(Said("message"), "none") << output;
    EXPECT_EQ(Said("running"), "yes");
    EXPECT_EQ(Said("exit"), "0");
}

TEST_F(SaverE2ETest, FrameConvertMakesOneStripAndKeepsTheFramesWhenTheSaveIsCancelled) {
    if (!Installed("convert")) GTEST_SKIP() << "convert is not installed";
    Run(R"SH(
touch "$DATA/Calvorine/no_intro.txt"
frames="$DATA/Calvorine/Data/Frame Converter"
mkdir -p "$frames"
convert -size 64x64 xc:red "BMP3:$frames/1.bmp"
convert -size 64x64 xc:lime "BMP3:$frames/2.bmp"
convert -size 64x64 xc:blue "BMP3:$frames/10.bmp"
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
xdotool windowfocus --sync "$id"; sleep 0.5
convert_frames() {
  xdotool key alt+k; sleep 0.3; xdotool key l; sleep 0.3; xdotool key j; sleep 0.3; xdotool key a; sleep 0.3; xdotool key f
}
convert_frames
save=$(find_window '^Save As$')
echo "save ${save:-none}"
sleep 0.3; xdotool key Escape; sleep 1
echo "kept $(ls "$frames" | wc -l)"
xdotool windowfocus --sync "$id"; sleep 0.3
convert_frames
save=$(find_window '^Save As$')
sleep 0.3; xdotool key Return; sleep 1
echo "left $(ls "$frames" | wc -l)"
echo "strip $(identify -format '%w %h' "$(ls -t "$DATA"/Calvorine/Data/Bmp/Objects/*.bmp | head -1)")"
xdotool windowfocus --sync "$id" key Escape
wait_exit $pid
)SH");
    EXPECT_NE(Said("save"), "none") << output;
    EXPECT_EQ(Said("kept"), "3") << output;
    EXPECT_EQ(Said("left"), "0") << output;
    EXPECT_EQ(Said("strip"), "64 192") << output;
    EXPECT_EQ(Said("exit"), "0");
}
