// The Save and Load buttons of the main dialog: the standard file dialogs for settings files,
// then one SettingsFile transfer.
#include <cstring>

#include "controls/control_group.h"
#include "dialog/main_dialog.h"
#include "dialog/settings_file.h"

namespace {

// Two filters, "*.orv" first; each entry is a description and a pattern, the list ends with
// an empty string.
constexpr char kFilters[] = "orv filterfiles {*.orv}\0*.orv\0All files {*.*}\0*.*\0";
constexpr DWORD kFileNameLength = 255;

// Asks for a file name; false when the user cancelled.
bool chooseFile(HWND owner, bool save, char (&name)[kFileNameLength + 1]) {
  std::memset(name, 0, sizeof name);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilters;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name;
  dialog.nMaxFile = kFileNameLength;
  dialog.lpstrDefExt = kSettingsFileTag;
  dialog.Flags = OFN_HIDEREADONLY | (save ? OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
  return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
}

void repaintDialog(const MainDialog* dialog) { InvalidateRect(dialog->window, nullptr, TRUE); }

}  // namespace

uint32_t saveSettings(MainDialog* dialog) {
  if (!dialog) return 0;
  char name[kFileNameLength + 1];
  if (chooseFile(dialog->window, true, name))
    SettingsFile(name, dialog->run.settings, dialog->window).write();
  repaintDialog(dialog);
  return 1;
}

uint32_t loadSettings(MainDialog* dialog) {
  if (!dialog) return 0;
  char name[kFileNameLength + 1];
  if (!chooseFile(dialog->window, false, name)) return 1;
  if (SettingsFile(name, dialog->run.settings, dialog->window).read() && dialog->controls)
    dialog->controls->onInit();
  repaintDialog(dialog);
  return 1;
}
