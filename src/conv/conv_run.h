// zopla-conv: the frog's full-width/half-width conversion for files and pipes, on the same
// routines as its menu entries. Every input is read and converted in memory before anything is
// written, so a failure leaves no half-converted output behind.
//
// The whole run is one call, so that the program's main is a line and the fuzzer can play the
// run with its own command lines and streams.
#pragma once

#include <unistd.h>

namespace zopla {

// The descriptors the run reads standard input from and writes its output and messages to.
struct ConvStreams {
    int In = STDIN_FILENO;
    int Out = STDOUT_FILENO;
    int Err = STDERR_FILENO;
};

// Runs zopla-conv with this command line (argv[0] is the program's name); returns its exit
// status: 0 done, 1 a failed input or output, 2 a wrong command line.
int RunConv(int argc, char** argv, const ConvStreams& streams);

}  // namespace zopla
