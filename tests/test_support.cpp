#include "test_support.h"

#include <cstdlib>
#include <filesystem>

#include "platform/ddraw.h"
#include "platform/system.h"
#include "shell/app_state.h"
#include "shell/error_log.h"

void Reset_Program_State() {
    Reset_App_State();
    DD_Reset_Emulation();
    Platform_Reset_Records();
    Reset_Trace_Flags();
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/calvorine-test-XXXXXX";
    char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}
