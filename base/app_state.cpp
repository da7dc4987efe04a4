#include "base/app_state.h"

AppState app;

void Reset_App_State() {
    if (app.error_log_file) fclose(app.error_log_file);
    app = AppState{};
}
