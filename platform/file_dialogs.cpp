// Open and save dialogs: each call is recorded, then answered by the host's handler when there
// is one (platform/presentation.h), else by the driver with the next queued answer (a file name
// or a cancel). A call with nothing queued is cancelled and recorded as a failure, so a test
// notices a dialog it did not expect.
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

std::vector<std::pair<std::string, std::string>> filterPairs(LPCSTR filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  while (filter && *filter) {
    std::string description = filter;
    filter += description.size() + 1;
    if (!*filter) break;
    pairs.emplace_back(description, filter);
    filter += std::strlen(filter) + 1;
  }
  return pairs;
}

void handlerAnswer(const LPOPENFILENAMEA dialog, bool save, FileAnswer* out) {
  platform::presentation::FileRequest request;
  request.save = save;
  request.owner = dialog->hwndOwner;
  request.title = dialog->lpstrTitle ? dialog->lpstrTitle : "";
  request.filters = filterPairs(dialog->lpstrFilter);
  request.defaultExtension = dialog->lpstrDefExt ? dialog->lpstrDefExt : "";
  auto handler = state().fileDialogHandler;  // the dialog may run a loop that calls back in here
  out->cancel = !handler(request, &out->path);
}

BOOL answer(LPOPENFILENAMEA dialog, bool save) {
  State& s = state();
  if (!dialog) return FALSE;
  s.fileDialogs.push_back({save, dialog->hwndOwner, dialog->lpstrTitle ? dialog->lpstrTitle : "",
                           filterText(dialog->lpstrFilter),
                           dialog->lpstrDefExt ? dialog->lpstrDefExt : ""});
  FileAnswer a{true, ""};
  if (s.fileDialogHandler) {
    handlerAnswer(dialog, save, &a);
  } else if (s.fileAnswers.empty()) {
    s.failures.push_back(std::string(save ? "a save" : "an open") +
                         " file dialog was opened with no answer queued");
    return FALSE;
  } else {
    a = s.fileAnswers.front();
    s.fileAnswers.pop_front();
  }
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
