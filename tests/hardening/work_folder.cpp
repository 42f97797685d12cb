#include "hardening/work_folder.h"

#include <random>
#include <stdexcept>
#include <unistd.h>

namespace romc::hardening {

WorkFolder::WorkFolder() {
    std::error_code error;
    const bool memory = std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0;
    const auto base = memory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("romc-hardening-" + std::to_string(entropy()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a work folder under " + base.string());
}

WorkFolder::~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace romc::hardening
