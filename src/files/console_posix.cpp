// Arguments and standard streams on POSIX systems: bytes already.
#include "files/console.h"

namespace romc {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

void useBinaryStandardStreams() {}

} // namespace romc
