// Open and save dialogs are answered by the driver: each call is recorded and takes the next
// queued answer (a file name or a cancel). A call with nothing queued is cancelled and recorded
// as a failure, so a test notices a dialog it did not expect.
#include "platform/stand_in.h"

#include <cstring>

using namespace standin;

namespace {

std::string filterText(LPCSTR filter) {
  std::string text;
  while (filter && *filter) {
    if (!text.empty()) text += '|';
    text += filter;
    filter += std::strlen(filter) + 1;
  }
  return text;
}

// The save dialog appends the default extension to a name typed without one.
std::string withDefaultExtension(std::string path, LPCSTR extension) {
  size_t nameStart = path.find_last_of("/\\") + 1;
  if (extension && *extension && path.find('.', nameStart) == std::string::npos)
    path += std::string(".") + extension;
  return path;
}

BOOL answer(LPOPENFILENAMEA dialog, bool save) {
  State& s = state();
  if (!dialog) return FALSE;
  s.fileDialogs.push_back({save, dialog->hwndOwner, dialog->lpstrTitle ? dialog->lpstrTitle : "",
                           filterText(dialog->lpstrFilter),
                           dialog->lpstrDefExt ? dialog->lpstrDefExt : ""});
  if (s.fileAnswers.empty()) {
    s.failures.push_back(std::string(save ? "a save" : "an open") +
                         " file dialog was opened with no answer queued");
    return FALSE;
  }
  FileAnswer a = s.fileAnswers.front();
  s.fileAnswers.pop_front();
  if (a.cancel) return FALSE;
  std::string path = withDefaultExtension(a.path, dialog->lpstrDefExt);
  if (!dialog->lpstrFile || path.size() + 1 > dialog->nMaxFile) return FALSE;
  std::memcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
  size_t nameStart = path.find_last_of("/\\") + 1;
  size_t dot = path.find_last_of('.');
  dialog->nFileOffset = WORD(nameStart);
  dialog->nFileExtension = WORD(dot != std::string::npos && dot >= nameStart ? dot + 1 : 0);
  if (dialog->lpstrFileTitle && dialog->nMaxFileTitle > path.size() - nameStart)
    std::strcpy(dialog->lpstrFileTitle, path.c_str() + nameStart);
  return TRUE;
}

}  // namespace

extern "C" {

BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog) { return answer(dialog, false); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog) { return answer(dialog, true); }

}  // extern "C"
