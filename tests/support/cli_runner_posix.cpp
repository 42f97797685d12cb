// The command line in a child of fork and exec, its stdout and stderr through pipes.
#include "support/cli_runner.h"

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace romc::test {

namespace {

// Reads both pipes to their ends, whichever fills first: a child blocked on one full pipe while the other
// is read would wait for ever.
void readBoth(int outFd, int errFd, CliRun& run) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* into[2] = {&run.out, &run.err};
    int open = 2;
    char buffer[4096];
    while (open > 0 && ::poll(fds, 2, -1) >= 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                into[i]->append(buffer, static_cast<std::size_t>(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

} // namespace

CliRun runCli(const std::vector<std::string>& arguments, const CliConditions& conditions) {
    int outFds[2];
    int errFds[2];
    if (::pipe(outFds) != 0 || ::pipe(errFds) != 0) {
        return {};
    }
    std::vector<std::string> words{ROMC_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = conditions.stdoutFile ? ::open(conditions.stdoutFile->c_str(), O_WRONLY) : outFds[1];
        ::dup2(out, STDOUT_FILENO);
        ::dup2(errFds[1], STDERR_FILENO);
        for (int fd : {outFds[0], outFds[1], errFds[0], errFds[1]}) {
            ::close(fd);
        }
        ::alarm(kHangSeconds);
        // The limit makes a write past it fail with EFBIG, as a full disk fails one with ENOSPC, even for
        // root, whom permission bits do not stop.
        if (conditions.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*conditions.fileSizeLimit),
                               static_cast<rlim_t>(*conditions.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (!conditions.currentDir.empty() && ::chdir(conditions.currentDir.c_str()) != 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(outFds[1]);
    ::close(errFds[1]);
    if (conditions.signal != 0) {
        std::this_thread::sleep_for(conditions.signalAfter);
        ::kill(child, conditions.signal);
    }
    CliRun run;
    readBoth(outFds[0], errFds[0], run);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return run;
}

} // namespace romc::test
