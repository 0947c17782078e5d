#include "undo_history.h"

#include "document.h"

namespace sim {

namespace {

UndoStep MakeStep(const std::string& opener, const Document* document) {
    UndoStep step;
    step.opener = opener;
    if (document != nullptr) {
        step.snapshot = document->Snapshot();
        step.revisionAtOpen = document->Revision();
    }
    return step;
}

bool Recorded(const UndoStep& step) {
    return step.textSet || step.forgetRedosCalls > 0 || !step.undoChangesCalls.empty() || step.documentChanged;
}

}  // namespace

void UndoHistory::Open(const std::string& opener, const Document* document) {
    if (openDepth_++ == 0) steps_.push_back(MakeStep(opener, document));
}

void UndoHistory::Close(const Document* document) {
    if (openDepth_ == 0 || --openDepth_ > 0) return;
    UndoStep& step = steps_.back();
    step.documentChanged = document != nullptr && step.snapshot != nullptr && document->Revision() != step.revisionAtOpen;
    if (!Recorded(step)) steps_.pop_back();
}

UndoStep& UndoHistory::Current(const Document* document) {
    if (openDepth_ == 0) steps_.push_back(MakeStep("", document));
    return steps_.back();
}

}  // namespace sim
