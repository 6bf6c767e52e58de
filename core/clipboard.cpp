#include "clipboard.h"

#include "memory_advice.h"
#include "step_runner.h"

namespace sorvane::core {

StepError textNotSent(NotSent why) {
    switch (why) {
        case NotSent::kSilent:
            return {kTextNotSent, "The program that copied the text did not answer in time"};
        case NotSent::kGone:
            return {kTextNotSent, "The program that copied the text stopped before sending it"};
        case NotSent::kUnknown:
            break;
    }
    return {kTextNotSent, "The program that copied the text did not send it"};
}

char* Clipboard::textRoom(std::size_t bytes) {
    if (room_.size() < bytes) {
        room_ = HugeVector<char>();  // the old room goes before the new one is taken
        room_.resize(bytes);
    }
    return room_.data();
}

}  // namespace sorvane::core
