#pragma once

#include <csignal>

namespace tolvane {

// A program that talks to the office over a pipe must not be killed when the
// office closes its end (the lecturer quits it, it crashes, or it ends while a
// call or a release is still on its way): with SIGPIPE ignored the write
// fails instead, and the bridge reports it as an error the program can show.
// Every program of this project calls this first thing in main; the office
// bridge calls it again when it is loaded. Header only, so that programs
// without the window layer (the bank maker) use the same one.
inline void ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace tolvane
