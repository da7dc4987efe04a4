// End to end with the bundled presets: every one of them drawn by the render
// tool at each depth, and the built calvorine-saver under Xvfb moving from
// preset to preset on its random-preset timer, in a window and full screen.
#include <QImage>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "e2e/scenario.h"
#include "plasma/plasma_settings.h"
#include "preset/preset_files.h"
#include "test_support.h"

#ifndef CALVORINE_SAVER
#error "CALVORINE_SAVER names the calvorine-saver program"
#endif
#ifndef CALVORINE_RENDER
#error "CALVORINE_RENDER names the calvorine-render program"
#endif
#ifndef CALVORINE_DEMO_FOLDER
#error "CALVORINE_DEMO_FOLDER names the bundled data folder"
#endif

namespace fs = std::filesystem;

namespace {

constexpr long PRESET_SIZE = 10136;
// What the window's caption says before the preset's title.
const std::string CAPTION_PREFIX = " Calvorine:   ";

const char* const prelude = R"SH(
set -u
export QT_QPA_PLATFORM=xcb
saver() { "$SAVER" --data-dir "$DATA" "$@"; }
find_window() { timeout 5 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
find_saver() { timeout 5 xdotool search --sync --onlyvisible --class calvorine-saver 2>/dev/null | head -1; }
wait_exit() {
  for _ in $(seq 1 60); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; wait "$1" 2>/dev/null; echo "exit timeout"; return; fi
  wait "$1"; echo "exit $?"
}
alive() { kill -0 "$1" 2>/dev/null && echo yes || echo no; }
shot() { import -window root "$WORK/$1.png"; echo "shot $1"; }
# Prints the window's caption every fifth of a second for $2 seconds and
# photographs the screen every $3 seconds.
watch_captions() {
  local end=$((SECONDS + $2)) next=$SECONDS n=0
  while [ $SECONDS -lt $end ]; do
    echo "caption $(xdotool getwindowname "$1" 2>/dev/null)"
    if [ $SECONDS -ge $next ]; then shot "shot$n"; n=$((n + 1)); next=$((SECONDS + $3)); fi
    sleep 0.2
  done
}
)SH";

bool Is_Preset_File(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".dat";
}

class PresetsE2ETest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        data = work.path() + "/windows";
        folder = data + "/Calvorine";
        fs::create_directories(work.path() + "/run");
        fs::permissions(work.path() + "/run", fs::perms::owner_all);
        fs::create_directories(data);
        fs::copy(CALVORINE_DEMO_FOLDER, folder, fs::copy_options::recursive);
        std::ofstream(folder + "/no_intro.txt");
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file() && Is_Preset_File(entry.path())) presets.push_back(entry.path().string());
        }
        std::sort(presets.begin(), presets.end());
    }

    // A preset file as the saver's own loader reads it.
    PlasmaSettings Settings_Of(const std::string& path) {
        EXPECT_EQ(Load_Plasma_Settings(path.c_str()), 1) << path;
        return plasma_settings;
    }

    std::string Title_Of(const std::string& path) { return Settings_Of(path).title; }

    // The random-preset timer of the default preset: armed from it at start.
    // The transition speed steps the window only for a preset with fixed
    // steps per frame; the others close and open at the frame driver's pace.
    void Set_Random_Presets(int seconds, int transition_speed) {
        const std::string path = folder + "/default.dat";
        ASSERT_EQ(Load_Plasma_Settings(path.c_str()), 1);
        plasma_settings.random_preset_interval = seconds;
        plasma_settings.transition_speed = transition_speed;
        ASSERT_EQ(Save_Plasma_Settings_To_File(path.c_str()), 1);
    }

    // Runs the scenario under a fresh 1024 x 768 X server and keeps every
    // "name value" line it printed, in order.
    void Run(const std::string& scenario) {
        const std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        const std::string command = "cd '" + work.path() + "' && SAVER='" CALVORINE_SAVER "' DATA='" + data +
                                    "' WORK='" + work.path() + "' XDG_RUNTIME_DIR='" + work.path() +
                                    "/run' timeout 55 xvfb-run -a -n " + std::to_string(First_Display_Number(2000)) +
                                    " -s '-screen 0 1024x768x24 -br -noreset' bash '" + script + "' 2>'" +
                                    work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    std::vector<std::string> All(const std::string& name) const { return printed.All(name); }

    std::string Last(const std::string& name) const {
        std::vector<std::string> values = All(name);
        return values.empty() ? "(nothing)" : values.back();
    }

    // The titles in the order the captions showed them, each run of equal
    // captions counted once.
    std::vector<std::string> Shown_Titles() const {
        std::vector<std::string> shown;
        for (const std::string& caption : All("caption")) {
            std::string title = caption.rfind(CAPTION_PREFIX, 0) == 0 ? caption.substr(CAPTION_PREFIX.size())
                                                                      : "(caption " + caption + ")";
            if (shown.empty() || shown.back() != title) shown.push_back(title);
        }
        return shown;
    }

    std::vector<std::string> Log_Lines() const { return ::Log_Lines(folder + "/error_log.txt"); }

    // No failure and no pointer jump was reported, and the shut-down ran.
    // Its trace is written once per run, at the first shut-down.
    void Expect_Clean_Log() const {
        std::vector<std::string> log = Log_Lines();
        ASSERT_FALSE(log.empty());
        for (const std::string& line : log) {
            EXPECT_EQ(line.find("FAILED"), std::string::npos) << line;
            EXPECT_EQ(line.find("Mouse_Has_Moved returns SUCCESS"), std::string::npos) << line;
        }
        EXPECT_NE(std::find(log.begin(), log.end(), "Exitting Shutdown"), log.end());
    }

    QImage Shot(const std::string& name) const { return QImage(QString::fromStdString(work.file(name + ".png"))); }

    bool Skip_Without_X() {
        for (const char* program : {"xvfb-run", "xdotool", "import"}) {
            if (!Installed(program)) {
                skipped_for = program;
                return true;
            }
        }
        return false;
    }

    TempFolder work;
    std::string data, folder;
    std::vector<std::string> presets;
    std::string output;
    Scenario_Output printed;
    std::string skipped_for;
};

}  // namespace

// Every bundled preset through the saver's frame pipeline for long enough
// that slides, objects and gradients have built up, at each depth.
TEST_F(PresetsE2ETest, EveryBundledPresetDrawsAtEachDepth) {
    ASSERT_GE(presets.size(), 2u);
    std::set<std::string> titles;
    for (const std::string& preset : presets) {
        EXPECT_EQ(static_cast<long>(fs::file_size(preset)), PRESET_SIZE) << preset;
        const std::string title = Title_Of(preset);
        EXPECT_FALSE(title.empty()) << preset;
        EXPECT_TRUE(titles.insert(title).second) << "two presets are called " << title;
    }

    for (int depth : {32, 16, 8}) {
        std::set<std::string> pictures;
        for (const std::string& preset : presets) {
            const std::string name = fs::path(preset).stem().string();
            const std::string picture = work.file(name + "-" + std::to_string(depth) + ".bmp");
            const std::string command = "'" CALVORINE_RENDER "' --data-dir '" + data + "' --preset '" + preset +
                                        "' --size 640x480 --depth " + std::to_string(depth) +
                                        " --frames 60 --seed 11 --out '" + picture + "' > /dev/null 2>&1";
            const int status = std::system(command.c_str());
            ASSERT_TRUE(WIFEXITED(status)) << name;
            EXPECT_EQ(WEXITSTATUS(status), 0) << name << " at " << depth << " bits";
            // The scope overlay does not work in 256 colours; a preset that
            // asks for it there is told so, and the rest of it is drawn.
            const bool scope_refused = depth == 8 && Settings_Of(preset).overlay_on;
            for (const std::string& line : Log_Lines()) {
                if (scope_refused && line == "Modify_Plasma(): Setup_Scope FAILED") continue;
                EXPECT_EQ(line.find("FAILED"), std::string::npos) << name << " at " << depth << ": " << line;
            }

            QImage image(QString::fromStdString(picture));
            ASSERT_EQ(image.size(), QSize(640, 480)) << name << " at " << depth << " bits";
            const size_t colours = Colours(image, 0, 0, 640, 480);
            // At 8 bits the colours come from one palette, and some presets
            // draw little there (no scope, no blends); the others show the
            // whole ramp of their effect.
            if (depth == 8) {
                EXPECT_GT(colours, 1u) << name;
                EXPECT_LE(colours, 256u) << name;
            } else {
                EXPECT_GT(colours, 30u) << name << " at " << depth << " bits";
            }
            std::ifstream file(picture, std::ios::binary);
            pictures.insert(std::string(std::istreambuf_iterator<char>(file), {}));
        }
        if (depth != 8) {
            EXPECT_EQ(pictures.size(), presets.size()) << "each preset shows its own picture";
        }
    }
}

// The configuration window on a short random-preset timer: the caption names
// preset after preset, the picture changes with them, and Escape still ends a
// clean run.
TEST_F(PresetsE2ETest, TheRandomPresetTimerMovesTheWindowFromPresetToPreset) {
    if (Skip_Without_X()) GTEST_SKIP() << skipped_for << " is not installed";
    std::set<std::string> titles;
    for (const std::string& preset : presets) titles.insert(Title_Of(preset));
    const std::string default_title = Title_Of(folder + "/default.dat");
    // A closing and an opening transition take about 2.7 seconds of the
    // 512-pixel window at the frame driver's pace, so every preset is shown
    // whole for a moment before the next one.
    Set_Random_Presets(3, 800);

    Run(R"SH(
xdotool mousemove 512 384
saver /c & pid=$!
id=$(find_window '^ Calvorine')
echo "window ${id:-none}"
watch_captions "$id" 28 4
echo "alive $(alive $pid)"
xdotool key Escape
wait_exit $pid
)SH");
    ASSERT_NE(Last("window"), "none") << output;
    EXPECT_EQ(Last("alive"), "yes");
    EXPECT_EQ(Last("exit"), "0");

    const std::vector<std::string> shown = Shown_Titles();
    ASSERT_FALSE(shown.empty()) << output;
    EXPECT_EQ(shown.front(), default_title) << "the default preset comes first";
    for (const std::string& title : shown) EXPECT_EQ(titles.count(title), 1u) << title;
    EXPECT_GE(shown.size(), 6u) << output;
    EXPECT_GE(std::set<std::string>(shown.begin(), shown.end()).size(), 5u) << output;

    // The window is the 512-pixel square in the middle of the screen.
    const std::vector<std::string> shots = All("shot");
    ASSERT_GE(shots.size(), 5u) << output;
    size_t colourful = 0;
    for (size_t i = 0; i < shots.size(); i++) {
        QImage picture = Shot(shots[i]);
        ASSERT_EQ(picture.size(), QSize(1024, 768)) << shots[i];
        if (Colours(picture, 256, 128, 512, 512) > 50) colourful++;
        EXPECT_EQ(Colours(picture, 0, 0, 250, 768), 1u) << "nothing drawn outside the window in " << shots[i];
        if (i > 0) {
            EXPECT_FALSE(Same(Shot(shots[i - 1]), picture, 256, 128, 512, 512)) << shots[i];
        }
    }
    // A photograph may catch a transition nearly closed; most do not.
    EXPECT_GE(colourful * 2, shots.size());

    Expect_Clean_Log();
    EXPECT_EQ(Log_Lines().back(), "Exitting Shutdown");
    // The configuration run keeps the preset it ended on as the default.
    EXPECT_EQ(static_cast<long>(fs::file_size(folder + "/default.dat")), PRESET_SIZE);
    EXPECT_EQ(titles.count(Title_Of(folder + "/default.dat")), 1u);
}

// Full screen, a random preset that asks for another resolution rebuilds the
// display. With only two presets the picks alternate, so every change is a
// rebuild, and none of them may end the saver or lose the preset.
TEST_F(PresetsE2ETest, TheRunningSaverRebuildsTheDisplayForEachRandomPreset) {
    if (Skip_Without_X()) GTEST_SKIP() << skipped_for << " is not installed";
    const std::string retro = folder + "/Retro 256.DAT";
    ASSERT_TRUE(fs::exists(retro));
    const std::string retro_title = Title_Of(retro);
    ASSERT_NE(Settings_Of(retro).resolution, Settings_Of(folder + "/default.dat").resolution)
        << "the second preset must ask for another display mode";
    for (const std::string& preset : presets) {
        if (preset != retro && fs::path(preset).filename() != "default.dat") fs::remove(preset);
    }
    const std::string default_title = Title_Of(folder + "/default.dat");
    Set_Random_Presets(2, 800);

    Run(R"SH(
xdotool mousemove 512 384
saver /s & pid=$!
id=$(find_saver)
echo "window ${id:-none}"
watch_captions "$id" 12 20
shot last
sleep 0.4
shot later
echo "alive $(alive $pid)"
xdotool key Escape
wait_exit $pid
)SH");
    ASSERT_NE(Last("window"), "none") << output;
    EXPECT_EQ(Last("alive"), "yes") << "a rebuild must not end the saver";
    EXPECT_EQ(Last("exit"), "0");

    const std::vector<std::string> shown = Shown_Titles();
    ASSERT_GE(shown.size(), 4u) << output;
    for (size_t i = 0; i < shown.size(); i++) {
        EXPECT_EQ(shown[i], i % 2 == 0 ? default_title : retro_title) << "change " << i;
    }
    // A shot may fall on the black frame between two presets: one of two
    // taken apart shows the picture.
    QImage last = Shot("last"), later = Shot("later");
    ASSERT_EQ(last.size(), QSize(1024, 768));
    EXPECT_GT(std::max(Colours(last, 0, 0, 1024, 768), Colours(later, 0, 0, 1024, 768)), 10u);
    Expect_Clean_Log();
}
