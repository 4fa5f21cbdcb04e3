#pragma once
// Main: the start-up sequence, the event loop and the shutdown.

namespace quarnex {

int Main(int argc, char** argv);

}  // namespace quarnex
