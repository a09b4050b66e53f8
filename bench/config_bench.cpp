// What loading and saving a configuration costs: a well-formed file of 100,000 keys in one
// object (numbers, integers and accented strings in turn), parsed into a tree and formatted back.
// Needs nothing of the module: it also builds natively, e.g.
//   g++ -O2 -std=c++20 -I. -Iinclude bench/config_bench.cpp hostkit/*.cpp host/*.cpp
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "hostkit/CodePage.h"
#include "hostkit/JsonConfig.h"

namespace {

double Milliseconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

std::string File(int keys)
{
    std::string text = "{\n    \"Portes\": {\n        \"max_sprites\": 150\n    },\n    \"Keys\": {\n";
    for (int i = 0; i < keys; ++i) {
        text += "        \"key_" + std::to_string(i) + "\": ";
        switch (i % 3) {
        case 0: text += std::to_string(i) + ".5"; break;
        case 1: text += std::to_string(i); break;
        default: text += "\"textures/\xC3\xA9t\xC3\xA9_" + std::to_string(i) + ".dds\""; break;
        }
        text += i + 1 < keys ? ",\n" : "\n";
    }
    return text + "    }\n}\n";
}

}  // namespace

int main()
{
    for (int keys : {1000, 10000, 100000}) {
        const std::string text = File(keys);
        // The first run also pays for the process's first use of its memory: the best of three.
        double load = 1e300, format = 1e300, release = 1e300;
        bool identical = true;
        for (int run = 0; run < 3; ++run) {
            std::string error, saved;
            auto start = std::chrono::steady_clock::now();
            brin::CountedRef<hostkit::ConfigSection> root = hostkit::ParseConfig(text, hostkit::kCodePage1252, &error);
            load = std::min(load, Milliseconds(start));
            if (!root) {
                std::printf("not loaded: %s\n", error.c_str());
                return 1;
            }
            start = std::chrono::steady_clock::now();
            identical =
                hostkit::FormatConfig(*root, hostkit::kCodePage1252, &saved, &error) && saved == text && identical;
            format = std::min(format, Milliseconds(start));
            start = std::chrono::steady_clock::now();
            root = nullptr;
            release = std::min(release, Milliseconds(start));
        }
        std::printf("%6d keys, %8zu bytes: load %7.1f ms, save %7.1f ms, free %7.1f ms, saved %s\n", keys, text.size(),
                    load, format, release, identical ? "identical" : "DIFFERENT");
    }
    return 0;
}
