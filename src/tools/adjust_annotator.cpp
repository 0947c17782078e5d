#include "tools/adjust_annotator.h"

#include "shell/plugin_state.h"
#include "shell/suites.h"

HostStatus RegisterAdjustAnnotator(PluginRef self) {
    if (sAnnotator == nullptr) return kSuiteNotFoundStatus;
    const HostStatus status = sAnnotator->AddAnnotator(self, kAnnotatorName, &gState->annotator);
    if (status != kNoError) return status;
    return sAnnotator->SetAnnotatorActive(gState->annotator, 0);
}
