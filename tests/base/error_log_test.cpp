// The error log: its records, the stamp, the trace rule, the size limit,
// boxes while the log is off, and the memory statistics.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

const char* const TITLE = "Calvorine Error Log File\r\n";

class ErrorLogTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Trace_Flags();
        app.main_window = &window;
        app.error_log_path = folder.file("error_log.txt");
    }
    void TearDown() override {
        Release(Hidden);
        Hidden = nullptr;
        Shutdown_Direct_Draw();
        ProgramTest::TearDown();
    }

    // The start-up order: the log is switched on, then created with its stamp.
    void Start_Log() {
        app.error_log_enabled = true;
        ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(TITLE), 1);
    }
    std::string Log_Text() {
        if (app.error_log_file) fflush(app.error_log_file);
        FILE* file = fopen(app.error_log_path.c_str(), "rb");
        if (!file) return "<no file>";
        std::string text(100000, '\0');
        text.resize(fread(text.data(), 1, text.size(), file));
        fclose(file);
        return text;
    }
    // The records after the title.
    std::string Records() {
        std::string text = Log_Text();
        size_t title = text.find(TITLE);
        return title == std::string::npos ? text : text.substr(title + std::strlen(TITLE));
    }
    static void Write_File(const std::string& path, const std::string& content) {
        FILE* file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(content.data(), 1, content.size(), file);
        fclose(file);
    }
    static std::vector<std::string> Box_Texts() {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }
    static int Destroy_Messages() {
        int count = 0;
        Posted_Message message;
        while (Platform_Peek_Message(&message, true)) count += message.message == WM_DESTROY;
        return count;
    }

    TempFolder folder;
    Window window;
};

TEST_F(ErrorLogTest, LogIsABlankLineTheStampTheTitleAndOneRecordPerReport) {
    Write_File(app.error_log_path, "a previous run's log");
    Start_Log();
    Report_Error("Windows 98");
    Report_Error("Saver_Mode = SAVER");
    Close_Error_Log_File();

    std::string text = Log_Text();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts,
                                 std::regex("\r\n\r\n([0-9]+):([0-9]+):([0-9]+), "
                                            "(Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday) "
                                            "(January|February|March|April|May|June|July|August|September|"
                                            "October|November|December) ([0-9]+), ([0-9]{4})\r\n"
                                            "Calvorine Error Log File\r\n"
                                            "\r\nWindows 98\r\nSaver_Mode = SAVER")))
        << text;
    for (int number = 1; number <= 6; ++number) {
        std::string digits = parts[number].str();
        EXPECT_TRUE(digits == "0" || digits[0] != '0') << "zero padded: " << digits;
    }
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_TRUE(platform_sounds.empty());
}

TEST_F(ErrorLogTest, DateStampHasNoZeroPadding) {
    struct tm when {};
    when.tm_hour = 9, when.tm_min = 5, when.tm_sec = 3;
    when.tm_wday = 0, when.tm_mon = 11, when.tm_mday = 6, when.tm_year = 2026 - 1900;
    char stamp[260];
    int length = Format_Date_Stamp(stamp, sizeof stamp, when);
    EXPECT_STREQ(stamp, "\r\n9:5:3, Sunday December 6, 2026\r\n");
    EXPECT_EQ(length, int(std::strlen(stamp)));

    when.tm_hour = 23, when.tm_min = 59, when.tm_sec = 0;
    when.tm_wday = 6, when.tm_mon = 0, when.tm_mday = 31, when.tm_year = 2000 - 1900;
    Format_Date_Stamp(stamp, sizeof stamp, when);
    EXPECT_STREQ(stamp, "\r\n23:59:0, Saturday January 31, 2000\r\n");

    // A small buffer is cut, never overrun.
    char small[8];
    Format_Date_Stamp(small, sizeof small, when);
    EXPECT_STREQ(small, "\r\n23:59");
}

// A traced function that fails while `fail` is set.
int Traced_Step(bool fail) {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Traced_Step");
    if (fail) {
        Report_Error("Traced_Step(): step FAILED");
        return 0;
    }
    Trace_Exit(traced_once, "Traced_Step");
    return 1;
}

TEST_F(ErrorLogTest, TraceMarksTheFirstCompleteRunAndEntryAgainAfterAnEarlyFailure) {
    // With the log off nothing is traced and the flag stays clear.
    EXPECT_EQ(Traced_Step(false), 1);
    EXPECT_TRUE(platform_boxes.empty());

    Start_Log();
    Traced_Step(true);
    Traced_Step(false);
    Traced_Step(false);
    Traced_Step(true);
    EXPECT_EQ(Records(),
              "\r\nEntering Traced_Step\r\nTraced_Step(): step FAILED"
              "\r\nEntering Traced_Step\r\nExitting Traced_Step"
              "\r\nTraced_Step(): step FAILED");

    Reset_Trace_Flags();
    Traced_Step(false);
    EXPECT_NE(Records().find("FAILED\r\nEntering Traced_Step\r\nExitting Traced_Step"), std::string::npos);
}

TEST_F(ErrorLogTest, ReportsAreBoxesWithSoundAndCursorWhileTheLogIsOff) {
    Report_Error("WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
    EXPECT_EQ(platform_boxes[0].caption, "Error");
    EXPECT_EQ(platform_boxes[0].style, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(platform_sounds, std::vector<std::string>{"Include/Error.wav"});
    EXPECT_EQ(platform_cursor_count, 1);
    EXPECT_EQ(Log_Text(), "<no file>");

    // The cursor count only ever rises.
    Report_Error("again");
    EXPECT_EQ(platform_cursor_count, 2);
}

TEST_F(ErrorLogTest, MessageBoxIsNeverLoggedAndPlaysNoSound) {
    Start_Log();
    Report_Message("Preset saved");
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "Preset saved");
    EXPECT_EQ(platform_boxes[0].caption, "Message");
    EXPECT_EQ(platform_boxes[0].style, MB_OK);
    EXPECT_TRUE(platform_sounds.empty());
    EXPECT_EQ(platform_cursor_count, 1);
    EXPECT_EQ(Records(), "");
}

TEST_F(ErrorLogTest, LogGrowsOneRecordPastTheLimitThenStopsTheProgram) {
    Start_Log();
    const std::string line = "Run_Calvorine(): Draw_Scope FAILED";
    int logged = 0;
    while (app.error_log_enabled && logged < 5000) {
        Report_Error(line.c_str());
        if (app.error_log_enabled) ++logged;
    }
    ASSERT_FALSE(app.error_log_enabled);
    long size = long(Log_Text().size());
    EXPECT_GT(size, ERROR_LOG_LIMIT);
    EXPECT_LE(size, ERROR_LOG_LIMIT + 2 + long(line.size()));
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Save_Error_Log_To_File() Max Error log file size EXCEEDED", line}));
    EXPECT_EQ(platform_boxes[0].caption, "Error");
    EXPECT_EQ(Destroy_Messages(), 1);

    // The log stays off: later reports are boxes and the file does not change.
    Report_Error("later");
    EXPECT_EQ(long(Log_Text().size()), size);
    EXPECT_EQ(platform_boxes.back().text, "later");
    EXPECT_EQ(Destroy_Messages(), 0);
}

TEST_F(ErrorLogTest, SizeLimitIsExceededOnlyPastThirtyTwoThousandBytes) {
    Write_File(app.error_log_path, std::string(size_t(ERROR_LOG_LIMIT), 'x'));
    app.error_log_enabled = true;
    Report_Error("at the limit");
    EXPECT_TRUE(app.error_log_enabled);
    EXPECT_EQ(Log_Text().substr(size_t(ERROR_LOG_LIMIT)), "\r\nat the limit");
    Close_Error_Log_File();

    Write_File(app.error_log_path, std::string(size_t(ERROR_LOG_LIMIT) + 1, 'x'));
    Report_Error("past the limit");
    EXPECT_FALSE(app.error_log_enabled);
    EXPECT_EQ(Log_Text().size(), size_t(ERROR_LOG_LIMIT) + 1);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Save_Error_Log_To_File() Max Error log file size EXCEEDED",
                                                     "past the limit"}));
    EXPECT_EQ(Destroy_Messages(), 1);
}

TEST_F(ErrorLogTest, LogThatCannotBeCreatedSwitchesItselfOff) {
    app.error_log_path = folder.file("missing folder/error_log.txt");
    app.error_log_enabled = true;
    EXPECT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(TITLE), 0);
    EXPECT_FALSE(app.error_log_enabled);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Save_Error_Log_To_File() CreateFile FILE FAILED"});
    EXPECT_EQ(platform_sounds.size(), 1u);

    Report_Error("Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
    EXPECT_EQ(platform_boxes.back().text, "Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
    EXPECT_EQ(Destroy_Messages(), 0);
}

TEST_F(ErrorLogTest, AppendingNeedsTheExistingLogAndReopensItAfterClosing) {
    Start_Log();
    Close_Error_Log_File();
    Report_Error("after shut-down");
    EXPECT_EQ(Records(), "\r\nafter shut-down");
    EXPECT_TRUE(platform_boxes.empty());
    Close_Error_Log_File();

    std::remove(app.error_log_path.c_str());
    Report_Error("lost record");
    EXPECT_FALSE(app.error_log_enabled);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Save_Error_Log_To_File() CreateFile APPEND TO FILE FAILED", "lost record"}));
    EXPECT_EQ(Log_Text(), "<no file>");  // never created by appending
    EXPECT_EQ(Destroy_Messages(), 0);
}

TEST_F(ErrorLogTest, RecordThatCannotBeWrittenStopsTheLogAndTheProgram) {
    if (FILE* device = fopen("/dev/full", "r+b")) {
        fclose(device);
    } else {
        GTEST_SKIP() << "no /dev/full to fail writes";
    }
    app.error_log_path = "/dev/full";
    app.error_log_enabled = true;
    Report_Error("Run_Calvorine(): Draw_Plasma FAILED");
    EXPECT_FALSE(app.error_log_enabled);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Save_Error_Log_To_File() WriteFile FAILED",
                                                     "Run_Calvorine(): Draw_Plasma FAILED"}));
    EXPECT_EQ(Destroy_Messages(), 1);
}

TEST_F(ErrorLogTest, LongMessagesAreCutToTheRecordAndTheBox) {
    Start_Log();
    std::string long_message(2000, 'm');
    Report_Error(long_message.c_str());
    EXPECT_EQ(Records(), "\r\n" + std::string(257, 'm'));

    app.error_log_enabled = false;
    Report_Error(long_message.c_str());
    EXPECT_EQ(platform_boxes.back().text, std::string(511, 'm'));
}

TEST_F(ErrorLogTest, SaveModesAndAnEmptyPath) {
    EXPECT_EQ(Save_Error_Log_To_File("", "nothing", LOG_CREATE), 0);
    EXPECT_EQ(Save_Error_Log_To_File(nullptr, "nothing", LOG_CREATE), 0);
    EXPECT_TRUE(platform_boxes.empty());

    app.error_log_enabled = true;
    std::string path = app.error_log_path;
    EXPECT_EQ(Save_Error_Log_To_File(path.c_str(), "first", LOG_CREATE), 1);
    EXPECT_EQ(Save_Error_Log_To_File(path.c_str(), "second", LOG_CLOSE_AFTER), 1);
    EXPECT_EQ(app.error_log_file, nullptr);
    // Closed: the record is appended to the file and the file closed again.
    EXPECT_EQ(Save_Error_Log_To_File(path.c_str(), "third", LOG_CLOSE_AFTER), 1);
    EXPECT_EQ(app.error_log_file, nullptr);
    EXPECT_EQ(Log_Text(), "\r\nfirst\r\nsecond\r\nthird");
    EXPECT_EQ(Close_Error_Log_File(), 1);
}

TEST_F(ErrorLogTest, MemoryStatisticsAreLoggedOnce) {
    Start_Log();
    dd_config.video_memory_total = 7u << 19;  // 3.5 Mb
    ASSERT_EQ(Setup_Windowed_Direct_Draw(64, 48, 32), 1);
    Log_Memory_Statistics();
    Log_Memory_Statistics();

    char system_line[80];
    snprintf(system_line, sizeof system_line, "SYSTEM RAM: TOTAL %.2f Mb",
             double(Platform_Total_Physical_Memory()) / 1048576.0);
    // The desktop (1024 x 768 x 32) is the primary surface in video memory.
    std::string records = Records();
    size_t start = records.find("\r\nEnter Log_Memory_Statistics");
    ASSERT_NE(start, std::string::npos) << records;
    EXPECT_EQ(records.substr(start), std::string("\r\nEnter Log_Memory_Statistics"
                                                 "\r\nEntering Get_Available_Video_Memory"
                                                 "\r\nExitting Get_Available_Video_Memory"
                                                 "\r\nVIDEO RAM: TOTAL 3.50 FREE 0.50 Mb\r\n") +
                                         system_line + "\r\nExitting Log_Memory_Statistics");
}

TEST_F(ErrorLogTest, MemoryStatisticsWithoutAVideoMemoryAnswer) {
    Start_Log();
    Log_Memory_Statistics();
    EXPECT_NE(Records().find("\r\nVIDEO RAM: TOTAL 0.00 FREE 0.00 Mb\r\nSYSTEM RAM: TOTAL "), std::string::npos);
}

TEST_F(ErrorLogTest, ScreenNoticeIsDrawnForOneFrame) {
    app.screen_notice_text = "The scope does not function in 256 colour mode";
    app.screen_notice_pending = true;
    Draw_Screen_Notice();  // nowhere to draw yet: still only one frame
    EXPECT_FALSE(app.screen_notice_pending);

    ASSERT_EQ(Setup_Windowed_Direct_Draw(400, 60, 32), 1);
    app.screen_notice_pending = true;
    Draw_Screen_Notice();
    EXPECT_FALSE(app.screen_notice_pending);
    auto pixel = [](int x, int y) {
        uint32_t v;
        std::memcpy(&v, Hidden->memory.data() + size_t(y) * Hidden->pitch + size_t(x) * 4, 4);
        return v & 0xFFFFFF;
    };
    int grey = 0, above = 0;
    for (int y = 0; y < Hidden->height; ++y)
        for (int x = 0; x < Hidden->width; ++x) {
            if (y < 24) above += pixel(x, y) != 0;
            grey += pixel(x, y) == 0xC8C8C8;
        }
    EXPECT_EQ(above, 0);
    EXPECT_GT(grey, 0);
}

}  // namespace

TEST_F(ErrorLogTest, ALinkInThePlaceOfTheLogIsNeverWrittenThrough) {
    const std::string link_text =
        "Save_Error_Log_To_File(): error_log.txt was a symbolic link: it was removed and a new log started";
    // A link to someone's file, and one to nothing yet.
    const struct {
        const char* name;
        bool target_exists;
    } cases[] = {{"to a file", true}, {"dangling", false}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        Close_Error_Log_File();
        const std::string target = folder.file(std::string("target ") + each.name);
        if (each.target_exists) Write_File(target, "precious");
        std::remove(app.error_log_path.c_str());
        ASSERT_EQ(symlink(target.c_str(), app.error_log_path.c_str()), 0);

        Start_Log();
        Report_Error("Saver_Mode = CONFIGURE");
        struct stat info;
        ASSERT_EQ(lstat(app.error_log_path.c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode)) << "a fresh log in the link's place";
        EXPECT_EQ(Records(), "\r\n" + link_text + "\r\nSaver_Mode = CONFIGURE");
        EXPECT_EQ(access(target.c_str(), F_OK) == 0, each.target_exists);
        if (each.target_exists) {
            FILE* file = fopen(target.c_str(), "rb");
            char text[16] = {};
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(fread(text, 1, sizeof text, file), 8u);
            fclose(file);
            EXPECT_STREQ(text, "precious");
        }
        EXPECT_TRUE(platform_boxes.empty());
    }

    // A link made under a running saver, between two records, stops the
    // log rather than writing through it.
    Close_Error_Log_File();
    Write_File(folder.file("other"), "other");
    std::remove(app.error_log_path.c_str());
    ASSERT_EQ(symlink(folder.file("other").c_str(), app.error_log_path.c_str()), 0);
    Report_Error("later");
    EXPECT_FALSE(app.error_log_enabled);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Save_Error_Log_To_File() CreateFile APPEND TO FILE FAILED", "later"}));
}
