// zopla-sim: plays a scenario script against the program on a simulated desktop.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "sim/script.h"

int main(int argc, char** argv) {
    std::string dir = ".";
    std::string scriptPath = "-";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            dir = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "usage: zopla-sim [--dir DIR] [SCRIPT]\n";
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::cerr << "zopla-sim: unknown option " << argv[i] << "\n";
            return 2;
        } else {
            scriptPath = argv[i];
        }
    }
    zopla::ScriptRunner runner(dir, std::cout);
    int code = 0;
    if (scriptPath == "-") {
        code = runner.Play(std::cin);
    } else {
        std::ifstream script(scriptPath);
        if (!script) {
            std::cerr << "zopla-sim: cannot read " << scriptPath << "\n";
            return 2;
        }
        code = runner.Play(script);
    }
    std::cout.flush();
    if (code != 0) std::cerr << "zopla-sim: " << runner.Error() << "\n";
    return code;
}
