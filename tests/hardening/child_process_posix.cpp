#include "hardening/child_process.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace romc::hardening {

namespace {

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

// In the child: the limit makes a write past it fail with EFBIG, as a full disk fails one with ENOSPC,
// even for root, whom permission bits do not stop.
void limitChild(std::optional<std::uintmax_t> fileSizeLimit) {
    ::alarm(kHangSeconds);
    if (fileSizeLimit) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(*fileSizeLimit), static_cast<rlim_t>(*fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
}

ChildOutcome collect(pid_t child, int outFd, int errFd) {
    ChildOutcome outcome;
    // Both pipes carry little (a message, a short table); read the error pipe after the first closes.
    outcome.out = readAll(outFd);
    if (errFd >= 0) {
        outcome.err = readAll(errFd);
        ::close(errFd);
    }
    ::close(outFd);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return outcome;
}

} // namespace

ChildOutcome runInChild(const std::function<std::string()>& body,
                        std::optional<std::uintmax_t> fileSizeLimit) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        limitChild(fileSizeLimit);
        const std::string result = body();
        std::size_t done = 0;
        while (done < result.size()) {
            const ssize_t wrote = ::write(pipeFds[1], result.data() + done, result.size() - done);
            if (wrote <= 0) {
                break;
            }
            done += static_cast<std::size_t>(wrote);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    return collect(child, pipeFds[0], -1);
}

std::optional<std::uintmax_t> bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uintmax_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return std::nullopt;
}

bool makeSocket(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace romc::hardening
