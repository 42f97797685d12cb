#include "files/interruption.h"

#include <atomic>

namespace romc {

namespace {

std::atomic<int> deferring{0};
std::atomic<int> heldSignal{0};

} // namespace

InterruptionsDeferred::InterruptionsDeferred() {
    deferring.fetch_add(1);
}

InterruptionsDeferred::~InterruptionsDeferred() {
    if (deferring.fetch_sub(1) == 1) {
        if (const int signal = platform::takeHeldInterruption(); signal != 0) {
            platform::endInterruptedRun(signal);
        }
    }
}

namespace platform {

bool interruptionsDeferred() noexcept {
    return deferring.load() > 0;
}

void holdInterruption(int signal) noexcept {
    heldSignal.store(signal);
}

int takeHeldInterruption() noexcept {
    return heldSignal.exchange(0);
}

} // namespace platform

} // namespace romc
