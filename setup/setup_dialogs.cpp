// The installer's dialog templates, with their captions, texts and buttons.
#include "setup/installer.h"

#include <iterator>

static constexpr const char* DIALOG_FONT = "MS Sans Serif";
static constexpr int DIALOG_FONT_POINTS = 8;

static const Dialog_Control requirements_controls[] = {
    {CONTROL_HEADING, -1, "Calvorine V1.3 Beta"},
    {CONTROL_GROUP, -1, "Minimum System Requirements"},
    {CONTROL_TEXT, -1, "Direct X 5.0"},
    {CONTROL_TEXT, -1, "300 MHz CPU"},
    {CONTROL_TEXT, -1, "32 Mb System RAM"},
    {CONTROL_TEXT, -1, "20 Mb Hard drive space"},
    {CONTROL_TEXT, -1, "4 Mb Video Card"},
    {CONTROL_TEXT, -1, "Windows 95/98/2000"},
    {CONTROL_GROUP_END, -1, ""},
    {CONTROL_DEFAULT_BUTTON, CONSENT_ACCEPT, "&Install"},
    {CONTROL_BUTTON, CONSENT_DECLINE, "&Don't Install"},
};

const Dialog_Template REQUIREMENTSBOX = {
    .name = "REQUIREMENTSBOX",
    .caption = "Install Calvorine Screensaver",
    .font_name = DIALOG_FONT,
    .font_points = DIALOG_FONT_POINTS,
    .controls = requirements_controls,
    .control_count = static_cast<int>(std::size(requirements_controls)),
};

static const Dialog_Control warning_controls[] = {
    {CONTROL_TEXT, -1,
     "Certain settings of this screensaver produce repetitive flashes of light and rapidly changing "
     "patterns, which may induce epileptic seizures in some people."},
    {CONTROL_TEXT, -1,
     "Children under the age of 12 and anyone with epilepsy or a similar condition should avoid "
     "using these settings."},
    {CONTROL_TEXT, -1, "By continuing you agree that you use this program at your own risk."},
    {CONTROL_DEFAULT_BUTTON, CONSENT_ACCEPT, "&Continue "},
    {CONTROL_BUTTON, CONSENT_DECLINE, "&Quit"},
};

const Dialog_Template WARNINGBOX = {
    .name = "WARNINGBOX",
    .caption = "WARNING!",
    .font_name = DIALOG_FONT,
    .font_points = DIALOG_FONT_POINTS,
    .controls = warning_controls,
    .control_count = static_cast<int>(std::size(warning_controls)),
};

static const Dialog_Control disclaimer_controls[] = {
    {CONTROL_HEADING, -1, "Important Disclaimer - Please Read"},
    {CONTROL_TEXT, -1,
     "This software is provided \"as is\", without warranty of any kind, express or implied, including "
     "but not limited to the warranties of merchantability and fitness for a particular purpose."},
    {CONTROL_TEXT, -1,
     "In no event shall the author be liable for any damages, loss of data, or any illness or injury, "
     "arising from the use of or the inability to use this software."},
    {CONTROL_TEXT, -1, "By installing this software, you are agreeing to the above terms."},
    {CONTROL_DEFAULT_BUTTON, CONSENT_ACCEPT, "I &Agree"},
    {CONTROL_BUTTON, CONSENT_DECLINE, "&Cancel"},
};

const Dialog_Template DISCLAIMERBOX = {
    .name = "DISCLAIMERBOX",
    .caption = "Important:- Please Read Before Continuing.",
    .font_name = DIALOG_FONT,
    .font_points = DIALOG_FONT_POINTS,
    .controls = disclaimer_controls,
    .control_count = static_cast<int>(std::size(disclaimer_controls)),
};

static const Dialog_Control success_controls[] = {
    {CONTROL_TEXT, -1, "Calvorine has been successfully installed."},
    {CONTROL_DEFAULT_BUTTON, CONSENT_ACCEPT, "OK"},
};

const Dialog_Template SUCCESSBOX = {
    .name = "SUCCESSBOX",
    .caption = "Install Successful",
    .font_name = DIALOG_FONT,
    .font_points = DIALOG_FONT_POINTS,
    .controls = success_controls,
    .control_count = static_cast<int>(std::size(success_controls)),
};
