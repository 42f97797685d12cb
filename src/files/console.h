// What a command-line run gets from the system at start: its arguments and its standard streams. Both are
// the system's business: Windows hands arguments over in the ANSI code page (a ROM named in Japanese
// arrives as "????.gb") and turns "\n" into "\r\n" on the streams; the tool works in UTF-8 and bytes.
#pragma once

#include <string>
#include <vector>

namespace romc {

// The arguments after the program's name, as UTF-8. On Windows they are taken from the wide command line,
// whatever argv says; elsewhere argv's bytes are the arguments.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// stdout and stderr pass bytes unchanged, so the table printout is the same on every system, and a
// console shows UTF-8 names as UTF-8.
void useBinaryStandardStreams();

} // namespace romc
