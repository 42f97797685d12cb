// A scratch folder for the hardening tests, in memory when /dev/shm is there: a compilation writes 8 to
// 64 MiB, and the randomized test compiles many times.
#pragma once

#include <filesystem>
#include <string>

namespace romc::hardening {

class WorkFolder {
  public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

} // namespace romc::hardening
