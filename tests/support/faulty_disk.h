// A disk that does what the system's does, except that one operation fails on cue: the Nth create, write,
// sync or rename of a file whose name holds a given text. Fault tests put it in place of the system's disk
// to see that each failure leaves every file as it was, on every system.
#pragma once

#include "files/disk.h"

#include <functional>
#include <string>
#include <vector>

namespace romc::test {

enum class DiskStep { Open, Create, Write, Sync, Close, Replace, Remove, CheckReplaceable, Lock, SyncFolder };

// One operation the disk was asked for, in order: the file's name as it then was; for a rename, the name it
// takes and the temporary name it had.
struct DiskEvent {
    DiskStep step;
    std::string name;
    std::string renamedFrom;
};

struct DiskFault {
    DiskStep step = DiskStep::Write;
    std::string nameHolds; // the file's name (the final one for a temporary file) holds this; "" for any
    int nth = 1;           // the nth such operation fails, counted from 1
    std::error_code error = std::make_error_code(std::errc::no_space_on_device);
    // Instead of failing: run this (a test ends the process here to stand in for a kill).
    std::function<void()> instead;
};

class FaultyDisk final : public Disk {
  public:
    explicit FaultyDisk(DiskFault fault) : fault_(std::move(fault)) {}

    // How many operations matched the fault's step and name so far.
    int matched() const { return matched_; }
    // Whether the fault was hit.
    bool struck() const { return struck_; }
    // Every operation asked for so far (but reads), in order.
    const std::vector<DiskEvent>& events() const { return events_; }

    DiskResult<std::unique_ptr<OpenFile>> openForReading(const std::filesystem::path& path) override;
    DiskResult<std::unique_ptr<OpenFile>> createNew(const std::filesystem::path& path,
                                                    std::optional<unsigned> permissions) override;
    std::error_code replace(const std::filesystem::path& from, const std::filesystem::path& to) override;
    std::error_code remove(const std::filesystem::path& path) override;
    std::error_code syncFolder(const std::filesystem::path& folder) override;
    std::error_code checkReplaceable(const std::filesystem::path& path) override;
    DiskResult<std::unique_ptr<FolderLock>> lockFolder(const std::filesystem::path& folder) override;

    // Whether the operation `step` on the file named `name` is the one that fails; runs `instead` there.
    std::error_code strike(DiskStep step, const std::string& name);

  private:
    DiskFault fault_;
    int matched_ = 0;
    bool struck_ = false;
    std::vector<DiskEvent> events_;
};

} // namespace romc::test
