#include "commands.h"

#include <new>
#include <optional>

#include "memory_advice.h"

namespace sorvane::core {
namespace {

std::string outOfMemory() { return errorText(kOutOfMemoryNumber, kOutOfMemoryDescription); }

}  // namespace

Answer Commands::ReportOver::askRetry(const std::string& report) {
    commands_.reportChanges();
    return commands_.port_.askRetry(report);
}

void Commands::paste(Side side) {
    ReportOver ui(*this);
    workspace_.paste(side, clipboard_, ui);
    finish();
}

void Commands::copy(ListId id) {
    ReportOver ui(*this);
    workspace_.copy(id, clipboard_, ui);
    finish();
}

void Commands::compare() {
    std::optional<std::string> refusal;
    try {
        refusal = workspace_.compare(port_.chooserTexts(), pairing_);
    } catch (const std::bad_alloc&) {
        // The comparison has no error report of its own; ending the program would lose every
        // list, so the run ends with its result lists empty and says why.
        refusal = outOfMemory();
    }
    finish();
    if (refusal) port_.showMessage(Message::Refusal, *refusal);
}

void Commands::instructions(const std::string& text) {
    port_.showMessage(Message::Instructions, text);
}

void Commands::headerClicked(ListId id, std::size_t column) {
    std::optional<std::string> refusal;
    try {
        workspace_.headerClicked(id, column);
    } catch (const std::bad_alloc&) {
        refusal = outOfMemory();  // the list keeps its order; the program goes on
    }
    finish();
    if (refusal) port_.showMessage(Message::Refusal, *refusal);
}

void Commands::reportChanges() {
    const Changes changes = workspace_.takeChanges();
    if (changes.any()) port_.showChanges(changes);
}

void Commands::finish() {
    reportChanges();
    // Only once the window no longer shows the old lists is their memory free to give back.
    releaseFreedMemory();
}

}  // namespace sorvane::core
