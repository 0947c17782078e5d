// The host's undo steps. A step opens when the host starts something that may change the document
// (an action play, a tool's mouse and options messages) and keeps a snapshot of the document as it
// was, so that UndoChanges can put the document back. A step in which nothing was recorded and the
// document did not change is not kept.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class Document;
class DocumentSnapshot;

struct UndoStep {
    std::string opener;  // what opened it: "Do Action", "AI Mouse Up", ... ("" outside a message)
    bool textSet = false;
    std::string undoText;  // exact bytes
    std::string redoText;
    std::int32_t forgetRedosCalls = 0;
    std::vector<std::int32_t> undoChangesCalls;  // the count argument of each call
    std::shared_ptr<const DocumentSnapshot> snapshot;  // null when no document was open
    std::uint64_t revisionAtOpen = 0;
    bool documentChanged = false;  // known once the step is closed
};

class UndoHistory {
public:
    const std::vector<UndoStep>& Steps() const { return steps_; }
    const UndoStep* Last() const { return steps_.empty() ? nullptr : &steps_.back(); }
    void Clear() { steps_.clear(); }

    // Nested opens join the step already open.
    void Open(const std::string& opener, const Document* document);
    void Close(const Document* document);
    bool IsOpen() const { return openDepth_ > 0; }

    // The step that suite calls record on: the open one, else a new step outside any message.
    UndoStep& Current(const Document* document);

private:
    std::vector<UndoStep> steps_;
    int openDepth_ = 0;
};

}  // namespace sim
