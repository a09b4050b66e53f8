#include "Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* Usage()
{
    return "usage: demo_host [options]\n"
           "\n"
           "Hosts every window of toolwindows.dll over a simulated installation: start-up steps\n"
           "in the progress window, seven slaves, four trackers moving over the sensors frame\n"
           "(the mouse over the frame steers a tracker whose \"mouseSimul\" is on), log lines of\n"
           "every category, per-client profiling figures, and the setup editor on the\n"
           "configuration. Closing the last window, or Ctrl+C, ends the run.\n"
           "\n"
           "  --config FILE       load the installation from a JSON file (default: the embedded\n"
           "                      installation, the same as demo/installation.json)\n"
           "  --save-to FILE      where the setup editor's Save writes (default: the loaded file,\n"
           "                      or installation-saved.json beside the program; with --check,\n"
           "                      a temporary file, removed at the end)\n"
           "  --frames N          run N frames (30 a second) and exit\n"
           "  --screenshots DIR   after the last frame, write one PNG per window into DIR, each\n"
           "                      read back: the window's size, and not one colour all over\n"
           "  --dll PATH          the module to load (default: toolwindows.dll beside the program)\n"
           "  --check             act as an operator (change a value, Update, Save, toggle, close)\n"
           "                      and check what the windows show; exit 1 on any mismatch\n"
           "  --help              this text\n"
           "\n"
           "Exit status: 0 done; 1 a check failed; 2 nothing ran: bad options, configuration,\n"
           "module or screenshots folder; 3 a save or a screenshot was not written, or a\n"
           "screenshot is wrong (not the window's size, or one colour all over).\n";
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const auto value = [&](std::string* into) {
            if (i + 1 >= argc || !*argv[i + 1]) {
                *error = std::string(arg) + " needs an argument";
                return false;
            }
            *into = argv[++i];
            return true;
        };
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options->help = true;
        } else if (std::strcmp(arg, "--check") == 0) {
            options->check = true;
        } else if (std::strcmp(arg, "--config") == 0) {
            if (!value(&options->config))
                return false;
        } else if (std::strcmp(arg, "--save-to") == 0) {
            if (!value(&options->saveTo))
                return false;
        } else if (std::strcmp(arg, "--screenshots") == 0) {
            if (!value(&options->screenshots))
                return false;
        } else if (std::strcmp(arg, "--dll") == 0) {
            if (!value(&options->dll))
                return false;
        } else if (std::strcmp(arg, "--frames") == 0) {
            std::string text;
            if (!value(&text))
                return false;
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (errno || *end || n < 1 || n > 10000000) {
                *error = "--frames takes a whole number from 1 to 10000000";
                return false;
            }
            options->frames = static_cast<int>(n);
        } else {
            *error = std::string("unknown option ") + arg;
            return false;
        }
    }
    return true;
}
