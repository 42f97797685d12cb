#include "files/temporary_files.h"

#include <array>
#include <atomic>
#include <cstring>

namespace romc {

namespace {

using Unit = std::filesystem::path::value_type;

// A run has at most a handful of temporary files at once (the image, its pieces, the template, a map, a
// list); a path too long for a slot, or a slot more than these, is still removed by the next compilation.
constexpr std::size_t kSlots = 32;
constexpr std::size_t kPathUnits = 4096;

struct Slot {
    std::atomic<bool> used{false};
    std::array<Unit, kPathUnits> path{};
};

std::array<Slot, kSlots> slots;

} // namespace

TemporaryFileGuard::TemporaryFileGuard(const std::filesystem::path& path) : slot_(-1) {
    const auto& native = path.native();
    if (native.size() >= kPathUnits) {
        return;
    }
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (!slots[i].used.load(std::memory_order_acquire)) {
            std::copy(native.begin(), native.end(), slots[i].path.begin());
            slots[i].path[native.size()] = Unit{0};
            slots[i].used.store(true, std::memory_order_release);
            slot_ = static_cast<int>(i);
            return;
        }
    }
}

TemporaryFileGuard::~TemporaryFileGuard() {
    if (slot_ >= 0) {
        slots[static_cast<std::size_t>(slot_)].used.store(false, std::memory_order_release);
    }
}

void removeTemporaryFilesNow() noexcept {
    for (auto& slot : slots) {
        if (slot.used.load(std::memory_order_acquire)) {
            platform::removeFileNow(slot.path.data());
        }
    }
}

} // namespace romc
