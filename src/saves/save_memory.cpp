#include "saves/save_memory.h"

#include <algorithm>

namespace romc {

std::vector<std::uint8_t> buildSaveMemory(std::span<const BankSave> saves) {
    std::vector<std::uint8_t> memory(kSaveMemoryBytes, kBlankSaveByte);
    for (const BankSave& save : saves) {
        const std::size_t bytes = std::min(save.bytes.size(), kSaveBankBytes);
        std::copy_n(save.bytes.begin(), bytes,
                    memory.begin() +
                        static_cast<std::ptrdiff_t>(static_cast<std::size_t>(save.bank) * kSaveBankBytes));
    }
    return memory;
}

std::span<const std::uint8_t> bankSave(std::span<const std::uint8_t> dump, int bank, std::size_t bytes) {
    return dump.subspan(static_cast<std::size_t>(bank) * kSaveBankBytes, std::min(bytes, kSaveBankBytes));
}

} // namespace romc
