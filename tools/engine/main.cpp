// kestrel-engine: the search engine on standard input and output, for
// scripts and programs that converse with it through a pipe.

#include <iostream>
#include <string>
#include <vector>

#include "tools/engine/engine_options.h"
#include "tools/engine/engine_replay.h"
#include "tools/engine/engine_session.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    kestrel::EngineOptions options;
    std::string error;
    if (!kestrel::parseEngineOptions(arguments, options, error)) {
        std::cerr << "kestrel-engine: " << error << '\n' << kestrel::engineUsage();
        return 2;
    }
    switch (options.mode) {
    case kestrel::EngineOptions::Mode::Help:
        std::cout << kestrel::engineUsage();
        return 0;
    case kestrel::EngineOptions::Mode::ListLevels:
        kestrel::listLevels(std::cout);
        return 0;
    case kestrel::EngineOptions::Mode::Replay:
        return kestrel::replayGame(std::cin, std::cout, std::cerr, options);
    case kestrel::EngineOptions::Mode::Level:
    case kestrel::EngineOptions::Mode::Solve:
        break;
    }
    return kestrel::answerPositions(std::cin, std::cout, std::cerr, options);
}
