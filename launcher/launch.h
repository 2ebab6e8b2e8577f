#pragma once
// What the program's launcher hands over to its windows: the launcher is a small program without the
// window toolkit that starts decoding the last map at once and then loads the windows, kept in a
// module of their own beside it, whose entry it calls.
#include <chrono>

namespace orv {

class PictureAhead;

struct Launch {
  std::chrono::steady_clock::time_point started;  // when the program started
  PictureAhead* ahead = nullptr;                  // the last map's picture, decoding since the start
};

// The file name of the windows' module, beside the program (or in its library folder once installed).
inline constexpr char WindowModuleName[] = "orvantis-window.so";

}  // namespace orv

// The windows' entry, looked up by this name in their module: the program's main as it was.
extern "C" __attribute__((visibility("default"))) int OrvantisWindowMain(int argc, char** argv,
                                                                         orv::Launch* launch);
