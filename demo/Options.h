// The demo host's command line.
#pragma once

#include <string>

struct Options {
    std::string config;       // JSON file to load; empty: the embedded default installation
    std::string saveTo;       // where Save writes; empty: the loaded file, or beside the exe
    std::string screenshots;  // folder for one PNG per window after the last frame; empty: none
    std::string dll;          // the module; empty: toolwindows.dll beside the exe
    int frames = -1;          // frames to run; -1: until the windows are closed or Ctrl+C
    bool check = false;       // drive the windows as an operator would and check what they show
    bool help = false;
};

const char* Usage();

// False with `error` for an unknown option or a missing or bad argument.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);
