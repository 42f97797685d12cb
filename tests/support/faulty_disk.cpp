#include "support/faulty_disk.h"

#include "files/utf8_path.h"

namespace romc::test {

namespace {

std::string nameOf(const std::filesystem::path& path) {
    return pathToUtf8(path.filename());
}

class FaultyFile final : public OpenFile {
  public:
    FaultyFile(FaultyDisk& disk, std::unique_ptr<OpenFile> file, std::string name)
        : disk_(disk), file_(std::move(file)), name_(std::move(name)) {}

    FileKind kind() const override { return file_->kind(); }
    std::uintmax_t size() const override { return file_->size(); }
    FileIdentity identity() const override { return file_->identity(); }
    unsigned permissions() const override { return file_->permissions(); }
    std::error_code readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) override {
        return file_->readAt(offset, into, got);
    }
    std::error_code writeAt(std::uintmax_t offset, std::span<const std::uint8_t> bytes) override {
        if (auto error = disk_.strike(DiskStep::Write, name_)) {
            return error;
        }
        return file_->writeAt(offset, bytes);
    }
    std::error_code sync() override {
        if (auto error = disk_.strike(DiskStep::Sync, name_)) {
            return error;
        }
        return file_->sync();
    }
    std::error_code close() override {
        const auto closed = file_->close();
        if (auto error = disk_.strike(DiskStep::Close, name_)) {
            return error;
        }
        return closed;
    }

  private:
    FaultyDisk& disk_;
    std::unique_ptr<OpenFile> file_;
    std::string name_;
};

} // namespace

std::error_code FaultyDisk::strike(DiskStep step, const std::string& name) {
    if (step != DiskStep::Write) {
        events_.push_back({step, name, {}});
    }
    if (step != fault_.step || name.find(fault_.nameHolds) == std::string::npos) {
        return {};
    }
    if (++matched_ != fault_.nth) {
        return {};
    }
    struck_ = true;
    if (fault_.instead) {
        fault_.instead();
        return {};
    }
    return fault_.error;
}

DiskResult<std::unique_ptr<OpenFile>> FaultyDisk::openForReading(const std::filesystem::path& path) {
    if (auto error = strike(DiskStep::Open, nameOf(path))) {
        return {nullptr, error};
    }
    return systemDisk().openForReading(path);
}

DiskResult<std::unique_ptr<OpenFile>> FaultyDisk::createNew(const std::filesystem::path& path,
                                                            std::optional<unsigned> permissions) {
    const std::string name = nameOf(path);
    if (auto error = strike(DiskStep::Create, name)) {
        return {nullptr, error};
    }
    auto created = systemDisk().createNew(path, permissions);
    if (created.value) {
        created.value = std::make_unique<FaultyFile>(*this, std::move(created.value), name);
    }
    return created;
}

std::error_code FaultyDisk::replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto error = strike(DiskStep::Replace, nameOf(to));
    events_.back().renamedFrom = nameOf(from);
    if (error) {
        return error;
    }
    return systemDisk().replace(from, to);
}

std::error_code FaultyDisk::remove(const std::filesystem::path& path) {
    if (auto error = strike(DiskStep::Remove, nameOf(path))) {
        return error;
    }
    return systemDisk().remove(path);
}

std::error_code FaultyDisk::syncFolder(const std::filesystem::path& folder) {
    if (auto error = strike(DiskStep::SyncFolder, nameOf(folder))) {
        return error;
    }
    return systemDisk().syncFolder(folder);
}

std::error_code FaultyDisk::checkReplaceable(const std::filesystem::path& path) {
    if (auto error = strike(DiskStep::CheckReplaceable, nameOf(path))) {
        return error;
    }
    return systemDisk().checkReplaceable(path);
}

DiskResult<std::unique_ptr<FolderLock>> FaultyDisk::lockFolder(const std::filesystem::path& folder) {
    if (auto error = strike(DiskStep::Lock, nameOf(folder))) {
        return {nullptr, error};
    }
    return systemDisk().lockFolder(folder);
}

} // namespace romc::test
