// End to end with damaged and foreign presets: the built calvorine-saver
// under Xvfb, started on a default.dat that is garbage, and opening a
// garbage file from its Presets menu. Neither may end the saver, nor leave
// a default.dat that breaks the next start.
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "e2e/scenario.h"
#include "test_support.h"

#ifndef CALVORINE_SAVER
#error "CALVORINE_SAVER names the calvorine-saver program"
#endif
#ifndef CALVORINE_DEMO_FOLDER
#error "CALVORINE_DEMO_FOLDER names the bundled data folder"
#endif

namespace {

constexpr long PRESET_SIZE = 10136;

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
shot() { import -window root "$WORK/$1.png"; }
)SH";

// Bytes no preset writer made: the same for a seed on every machine.
void Write_Garbage(const std::string& path, size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<char> bytes(size);
    for (char& byte : bytes) byte = static_cast<char>(rng());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ForeignPresetsE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"xvfb-run", "xdotool", "import"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
        data = work.path() + "/windows";
        folder = data + "/Calvorine";
        const std::string command = "mkdir -p '" + data + "' '" + work.path() + "/run' && chmod 700 '" +
                                    work.path() + "/run' && cp -r '" CALVORINE_DEMO_FOLDER "' '" + data +
                                    "/' && touch '" + folder + "/no_intro.txt'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    void Run(const std::string& scenario) {
        const std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        const std::string command = "cd '" + work.path() + "' && SAVER='" CALVORINE_SAVER "' DATA='" + data +
                                    "' WORK='" + work.path() + "' XDG_RUNTIME_DIR='" + work.path() +
                                    "/run' timeout 60 xvfb-run -a -n " + std::to_string(First_Display_Number(5000)) +
                                    " -s '-screen 0 1024x768x24 -br -noreset' bash '" + script + "' 2>'" +
                                    work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }
    std::vector<std::string> All(const std::string& name) const { return printed.All(name); }

    QImage Shot(const std::string& name) { return QImage(QString::fromStdString(work.file(name + ".png"))); }

    bool Logged(const std::string& start) {
        for (const std::string& line : Log_Lines(folder + "/error_log.txt")) {
            if (line.rfind(start, 0) == 0) return true;
        }
        return false;
    }

    TempFolder work;
    std::string data, folder;
    Scenario_Output printed;
    std::string output;
};

struct Garbage_Default {
    const char* name;
    size_t size;
    std::string logged;  // how the log's line of its report begins, before the path ("": none)
};

TEST_F(ForeignPresetsE2ETest, TheSaverRunsOnAGarbageDefaultPreset) {
    const Garbage_Default garbage_defaults[] = {
        // Big enough to read: brought into range, and shown.
        {"20,000 random bytes", 20000, ""},
        // Too short to read: reported, set aside, the built-in preset shown.
        {"100 random bytes", 100, "Unable to read file "},
    };
    unsigned seed = 18;
    for (const Garbage_Default& garbage : garbage_defaults) {
        SCOPED_TRACE(garbage.name);
        printed = Scenario_Output();
        Write_Garbage(folder + "/default.dat", garbage.size, seed++);
        Run(R"SH(
xdotool mousemove 512 384
saver /s & pid=$!
find_saver >/dev/null
sleep 2.5
echo "running $(alive $pid)"
shot saver
xdotool key a
wait_exit $pid
)SH");
        EXPECT_EQ(Said("running"), "yes") << output;
        EXPECT_EQ(Said("exit"), "0") << output;
        const QImage picture = Shot("saver");
        ASSERT_FALSE(picture.isNull()) << output;
        EXPECT_GT(Colours(picture, 0, 0, 1024, 768), 8u) << "the saver shows a picture";
        EXPECT_FALSE(Logged("Run_Calvorine()")) << "a frame failed";
        if (!garbage.logged.empty()) {
            EXPECT_TRUE(Logged(garbage.logged + folder + "/default.dat")) << "the bad default.dat is reported";
            EXPECT_EQ(File_Size(folder + "/default.dat.bad"), static_cast<long>(garbage.size));
            EXPECT_EQ(File_Size(folder + "/default.dat"), -1);
        } else {
            // The running saver never writes the default preset.
            EXPECT_EQ(File_Size(folder + "/default.dat"), static_cast<long>(garbage.size));
        }
    }
}

TEST_F(ForeignPresetsE2ETest, OpeningAGarbageFileNeverBreaksTheNextStart) {
    Write_Garbage(folder + "/Garbage.DAT", 20000, 1818);
    Run(R"SH(
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
echo "window ${id:-none}"
xdotool windowfocus --sync "$id"; sleep 0.5
xdotool key alt+p; sleep 0.3; xdotool key o
open=$(find_window '^Open$')
echo "open ${open:-none}"
sleep 0.3; xdotool type --delay 20 'Garbage.DAT'; xdotool key Return
sleep 1.5
echo "opened $(alive $pid)"
shot opened
xdotool windowfocus --sync "$id" key Escape
wait_exit $pid
# The next start, on whatever the first one left as default.dat.
saver /c & pid=$!
id=$(find_window '^ Calvorine:   ')
echo "again ${id:-none}"
sleep 1.5
echo "running $(alive $pid)"
shot again
xdotool windowfocus --sync "$id" key Escape
wait_exit $pid
)SH");
    EXPECT_NE(Said("window"), "none") << output;
    EXPECT_NE(Said("open"), "none") << output;
    EXPECT_EQ(Said("opened"), "yes") << output;
    EXPECT_NE(Said("again"), "none") << output;
    EXPECT_EQ(Said("running"), "yes") << output;
    EXPECT_EQ(All("exit"), (std::vector<std::string>{"0", "0"})) << output;
    EXPECT_EQ(File_Size(folder + "/default.dat"), PRESET_SIZE);
    EXPECT_FALSE(Logged("Run_Calvorine()")) << "a frame failed";
    for (const char* name : {"opened", "again"}) {
        const QImage picture = Shot(name);
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_GT(Colours(picture, 0, 0, 1024, 768), 8u) << name << ": the window shows a picture";
    }
}

}  // namespace
