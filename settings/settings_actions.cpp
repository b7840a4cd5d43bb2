// The Save and Load buttons of the main dialog: the standard file dialogs for settings files,
// then one SettingsFile transfer.
#include <cstring>

#include "controls/control_group.h"
#include "settings/settings_file.h"

namespace {

// Two filters, "*.orv" first; each entry is a description and a pattern, the list ends with
// an empty string.
constexpr char kFilters[] = "orv filterfiles {*.orv}\0*.orv\0All files {*.*}\0*.*\0";
constexpr DWORD kFileNameLength = 255;

// Asks for a file name; false when the user cancelled.
bool chooseFile(FilterParameters* parameters, bool save, char (&name)[kFileNameLength + 1]) {
    std::memset(name, 0, sizeof name);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = parameters->dialogWindow;
    dialog.lpstrFilter = kFilters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kFileNameLength;
    dialog.lpstrDefExt = kSettingsFileTag;
    dialog.Flags = OFN_HIDEREADONLY | (save ? OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
}

void repaintDialog(FilterParameters* parameters) {
    InvalidateRect(parameters->dialogWindow, nullptr, TRUE);
}

}  // namespace

uint32_t saveSettings(FilterParameters* parameters) {
    if (!parameters) return 0;
    char name[kFileNameLength + 1];
    if (chooseFile(parameters, true, name)) SettingsFile(name, parameters).write();
    repaintDialog(parameters);
    return 1;
}

uint32_t loadSettings(FilterParameters* parameters) {
    if (!parameters) return 0;
    char name[kFileNameLength + 1];
    if (!chooseFile(parameters, false, name)) return 1;
    if (SettingsFile(name, parameters).read() && parameters->controls)
        parameters->controls->onInit();
    repaintDialog(parameters);
    return 1;
}
