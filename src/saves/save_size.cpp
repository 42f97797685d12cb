#include "saves/save_size.h"

#include "romtable/flash_units.h"

namespace romc {

std::size_t saveBytesOfHeader(std::uint8_t cartridgeType, std::uint8_t ramSizeCode) {
    if (cartridgeType == saveram::kMbc2 || cartridgeType == saveram::kMbc2Battery) {
        return saveram::kMbc2Bytes;
    }
    switch (ramSizeCode) {
    case 0x01:
        return 2 * 1024;
    case 0x02:
        return 8 * 1024;
    case 0x03:
        return 32 * 1024;
    default: // none declared, or 128 KiB (0x04) and 64 KiB (0x05), more than a bank holds
        return kSaveBankBytes;
    }
}

std::size_t withoutClockFooter(std::size_t bytes) {
    for (const std::size_t footer : saveram::kClockFooters) {
        if (bytes > footer && bytes % saveram::kSaveFileUnit == footer) {
            return bytes - footer;
        }
    }
    return bytes;
}

} // namespace romc
