#include "files/disk.h"

#include <string>

namespace romc {

namespace {

class DiskErrorCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "disk"; }
    std::string message(int error) const override {
        switch (static_cast<DiskError>(error)) {
        case DiskError::ReadOnlyFile:
            return "the file is marked read-only";
        case DiskError::HeldByAnotherProgram:
            return "another program has it open";
        }
        return "unknown disk error";
    }
};

} // namespace

const std::error_category& diskErrorCategory() {
    static const DiskErrorCategory category;
    return category;
}

} // namespace romc
