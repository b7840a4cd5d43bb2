// Parameters: the host is about to run the filter with its dialog, so the next Start shows it.
#include "host/selector_handlers.h"

void handleParameters(PluginGlobals* globals, FilterParameters* parameters) {
  applyRunDefaults(parameters);
  parameters->dialogRequest = DialogRequest::Show;
  globals->filterRecord->bufferSpace = kBufferSpaceNeeded;
}
