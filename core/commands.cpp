#include "commands.h"

#include <new>
#include <optional>

#include "memory_advice.h"

namespace sorvane::core {
namespace {

std::string outOfMemory() { return errorText(kOutOfMemoryNumber, kOutOfMemoryDescription); }

}  // namespace

Answer Commands::ReportOver::askRetry(const std::string& report) {
    port_.showWorkspace();
    return port_.askRetry(report);
}

void Commands::paste(Side side) {
    ReportOver ui(port_);
    workspace_.paste(side, clipboard_, ui);
    finish();
}

void Commands::copy(ListId id) {
    ReportOver ui(port_);
    workspace_.copy(id, clipboard_, ui);
    finish();
}

void Commands::compare(const ChooserTexts& texts) {
    std::optional<std::string> refusal;
    try {
        refusal = workspace_.compare(texts);
    } catch (const std::bad_alloc&) {
        // The comparison has no error report of its own; ending the program would lose every
        // list, so the run ends with its result lists empty and says why.
        refusal = outOfMemory();
    }
    finish();
    if (refusal) port_.showRefusal(*refusal);
}

void Commands::headerClicked(ListId id, std::size_t header) {
    std::optional<std::string> refusal;
    try {
        workspace_.headerClicked(id, header);
    } catch (const std::bad_alloc&) {
        refusal = outOfMemory();  // the list keeps its order; the program goes on
    }
    finish();
    if (refusal) port_.showRefusal(*refusal);
}

void Commands::finish() {
    port_.showWorkspace();
    // Only once the window no longer shows the old lists is their memory free to give back.
    releaseFreedMemory();
}

}  // namespace sorvane::core
