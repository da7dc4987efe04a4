// End to end, the accidents an ordinary desktop brings: a termination signal
// while a box or dialog waits for the user, and saves cut short by SIGKILL.
// Each scenario runs the built calvorine-saver under a fresh Xvfb server.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
#ifndef CALVORINE_PACKAGE_FOLDER
#error "CALVORINE_PACKAGE_FOLDER names the laid-out installation package"
#endif

namespace fs = std::filesystem;

namespace {

constexpr long PRESET_SIZE = 10136;

const char* const prelude = R"SH(
set -u
export QT_QPA_PLATFORM=xcb
# Job control: background jobs keep SIGINT as it is instead of ignoring it.
set -m
# Starts the saver in the background, its own process id in $pid.
start_saver() { "$SAVER" --data-dir "$DATA" "$@" & pid=$!; }
find_window() { timeout 5 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
# Sends the signal and prints "ended MS CODE": the milliseconds until the
# process was gone (at most 5000) and its exit code.
end_with() {
  local pid=$1 signal=$2 start; start=$(date +%s%N)
  kill -"$signal" "$pid"
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  local ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if kill -0 "$pid" 2>/dev/null; then kill -9 "$pid"; wait "$pid" 2>/dev/null; echo "ended $ms timeout"; return; fi
  wait "$pid"; echo "ended $ms $?"
}
# The configuration window, up and drawing, with the keyboard.
open_window() {
  window=$(find_window '^ Calvorine:   ')
  [ -n "$window" ] && xdotool windowfocus --sync "$window"
  sleep 0.5
}
keys() { for key in "$@"; do xdotool key "$key"; sleep 0.4; done; }
)SH";

class RobustnessE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"xvfb-run", "xdotool"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
        data = work.path() + "/windows";
        std::string command = "mkdir -p '" + data + "' '" + work.path() + "/run' && chmod 700 '" + work.path() +
                              "/run' && cp -r '" CALVORINE_DEMO_FOLDER "' '" + data + "/'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        folder = data + "/Calvorine";
    }

    void Run(const std::string& scenario, const std::string& environment = "") {
        printed = Scenario_Output{};
        std::string script = work.file("scenario.sh");
        std::ofstream(script) << prelude << scenario;
        std::string command = "cd '" + work.path() + "' && " + environment + " SAVER='" CALVORINE_SAVER "' DATA='" + data + "' WORK='" +
                              work.path() + "' XDG_RUNTIME_DIR='" + work.path() + "/run' XDG_DATA_DIRS='" +
                              work.path() + "/system' timeout 90 xvfb-run -a -n " +
                              std::to_string(First_Display_Number(5000)) +
                              " -s '-screen 0 1024x768x24 -br -noreset' bash '" + script + "' 2>'" +
                              work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }

    TempFolder work;
    std::string data, folder;
    Scenario_Output printed;
};

}  // namespace

TEST_F(RobustnessE2ETest, ATerminationSignalEndsTheSaverInOrderWhateverBoxOrDialogIsOpen) {
    // How each box is reached, the signal, and whether the run got as far
    // as the window (then the default preset is saved on the way out).
    const struct {
        const char* name;
        const char* before;  // shell lines run before the saver starts
        const char* reach;   // shell lines that open the box, with $pid the saver
        const char* caption;
        const char* signal;
        bool saves;
    } cases[] = {
        {"introduction", "rm -f \"$DATA/Calvorine/no_intro.txt\"", "", "^Welcome to Calvorine$", "TERM", true},
        {"introduction, SIGINT", "rm -f \"$DATA/Calvorine/no_intro.txt\"", "", "^Welcome to Calvorine$", "INT",
         true},
        // A log that cannot be made: the report is an error box, before any window.
        {"error box", "rm -f \"$DATA/Calvorine/error_log.txt\"; mkdir \"$DATA/Calvorine/error_log.txt\"", "",
         "^Error$", "TERM", false},
        {"settings dialog", "", "open_window; keys alt+l o s", "^Plasma Colours$", "TERM", true},
        {"open dialog", "", "open_window; keys alt+p o", "^Open$", "TERM", true},
        {"help window", "", "open_window; keys alt+h i", "^Calvorine Help$", "TERM", true},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        fs::remove_all(folder);
        ASSERT_EQ(std::system(("cp -r '" CALVORINE_DEMO_FOLDER "' '" + data + "/'").c_str()), 0);
        std::ofstream(folder + "/no_intro.txt");
        // An old default preset, so that a fresh one shows it was saved.
        ASSERT_EQ(std::system(("touch -d '2001-01-01' '" + folder + "/default.dat'").c_str()), 0);
        Run(std::string(each.before) + "\nstart_saver /c\n" + each.reach + "\nbox=$(find_window '" +
            each.caption + "')\necho \"box ${box:-none}\"\nsleep 0.5\nend_with $pid " + each.signal + "\n");
        ASSERT_NE(Said("box"), "none") << printed.text;
        std::istringstream ended(Said("ended"));
        int milliseconds = -1;
        std::string code;
        ended >> milliseconds >> code;
        EXPECT_EQ(code, "0") << printed.text;
        EXPECT_GE(milliseconds, 0);
        EXPECT_LE(milliseconds, 1000) << "the saver ends within a second";
        if (each.saves) {
            EXPECT_EQ(File_Size(folder + "/default.dat"), PRESET_SIZE);
            const auto written = fs::last_write_time(folder + "/default.dat");
            EXPECT_GT(written, fs::file_time_type::clock::now() - std::chrono::minutes(10)) << "default.dat saved";
            const std::vector<std::string> log = Log_Lines(folder + "/error_log.txt");
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log.back(), "Exitting Shutdown");
        }
    }
}

TEST_F(RobustnessE2ETest, SavesKilledHalfWayLeaveNothingBehindAfterTheNextStart) {
    std::ofstream(folder + "/no_intro.txt");
    // Leftovers as a killed save leaves them, and files of the same look
    // that are not the saver's to remove.
    for (const char* name : {".default.dat.Ab3dE9", ".Mandala.DAT.x0Y1z2", ".Mine.bmp.QQQQQQ"}) {
        std::ofstream(folder + "/" + name) << std::string(PRESET_SIZE, 'x');
    }
    fs::create_directories(folder + "/Data");
    std::ofstream(folder + "/Data/.default.dat.Ab3dE9") << "below the data folder";
    std::ofstream(folder + "/.notes.txt.Ab3dE9") << "another program's";
    std::ofstream(folder + "/.default.dat.short") << "not six letters";
    std::ofstream(work.file("outside.DAT")) << "the link's target";
    fs::create_symlink(work.file("outside.DAT"), folder + "/.linked.DAT.abcdef");

    // Real saves cut short too: the configuration run saves on its way out,
    // and SIGKILL comes at a different moment of it each time.
    Run(R"SH(
for delay in 0 0.01 0.02 0.03 0.05 0.08; do
  start_saver /c
  open_window
  xdotool key Escape
  sleep $delay
  kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
done
start_saver /c
open_window
echo "leftovers $(ls -A "$DATA/Calvorine" | grep -c '^\.default\.dat\.......$')"
xdotool key Escape
for _ in $(seq 1 60); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
echo "after $(ls -A "$DATA/Calvorine" | grep -c '^\.default\.dat\.......$')"
)SH");
    EXPECT_EQ(Said("leftovers"), "0") << printed.text;
    EXPECT_EQ(Said("after"), "0");
    for (const char* name : {".default.dat.Ab3dE9", ".Mandala.DAT.x0Y1z2", ".Mine.bmp.QQQQQQ"}) {
        EXPECT_FALSE(fs::exists(folder + "/" + name)) << name;
    }
    EXPECT_TRUE(fs::exists(folder + "/Data/.default.dat.Ab3dE9"));
    EXPECT_TRUE(fs::exists(folder + "/.notes.txt.Ab3dE9"));
    EXPECT_TRUE(fs::exists(folder + "/.default.dat.short"));
    EXPECT_TRUE(fs::is_symlink(folder + "/.linked.DAT.abcdef"));
    EXPECT_EQ(File_Size(work.file("outside.DAT")), 17);
    EXPECT_EQ(File_Size(folder + "/default.dat"), PRESET_SIZE);
}

TEST_F(RobustnessE2ETest, ATerminationSignalDuringTheInstallersBoxesIsANo) {
    // How many consent boxes are accepted before the signal comes.
    for (int accepted : {0, 2}) {
        SCOPED_TRACE(accepted);
        const std::string home = work.file("home" + std::to_string(accepted));
        const std::string package = work.file("package" + std::to_string(accepted));
        fs::create_directories(home);
        ASSERT_EQ(std::system(("cp -r '" CALVORINE_PACKAGE_FOLDER "' '" + package + "'").c_str()), 0);
        Run("cd '" + package + "'\n./calvorine-setup & pid=$!\n" +
                "for name in '^Install Calvorine Screensaver$' '^WARNING!$'; do\n"
                "  [ " + std::to_string(accepted) + " -gt 0 ] || break\n"
                "  id=$(find_window \"$name\"); xdotool windowfocus --sync \"$id\"; sleep 0.5; xdotool key Return\n"
                "done\n"
                "box=$(find_window '" + (accepted ? "^Important:- Please Read" : "^Install Calvorine Screensaver$") +
                "')\necho \"box ${box:-none}\"\nsleep 0.5\nend_with $pid TERM\n",
            "HOME='" + home + "' XDG_DATA_HOME='" + home + "/.local/share'");
        ASSERT_NE(Said("box"), "none") << printed.text;
        std::istringstream ended(Said("ended"));
        int milliseconds = -1;
        std::string code;
        ended >> milliseconds >> code;
        EXPECT_EQ(code, "0") << printed.text;
        EXPECT_LE(milliseconds, 1000);
        // Declined: nothing of the installation is on the disk.
        EXPECT_TRUE(fs::is_empty(home)) << printed.text;
    }
}
