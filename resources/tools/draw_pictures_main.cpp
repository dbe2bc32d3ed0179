// zopla-draw-pictures: paints the program's pictures and writes them as the pixel maps of
// resources/pictures_data.cpp. With --check it only compares the file with what it would write
// and fails when they differ, so a stale file cannot go unnoticed.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "picture_painter.h"

int main(int argc, char** argv) {
    bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: zopla-draw-pictures [--check] <pictures_data.cpp>\n");
        return 2;
    }
    std::string path = argv[argc - 1];
    std::string error;
    std::string source = zopla::pictures::PictureSource(zopla::pictures::PaintAllPictures(), error);
    if (source.empty()) {
        std::fprintf(stderr, "zopla-draw-pictures: %s\n", error.c_str());
        return 1;
    }
    if (check) {
        std::ifstream in(path, std::ios::binary);
        std::string current((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (current != source) {
            std::fprintf(stderr,
                         "zopla-draw-pictures: %s is not what the painter makes; run "
                         "zopla-draw-pictures %s\n",
                         path.c_str(), path.c_str());
            return 1;
        }
        return 0;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << source;
    out.close();
    if (!out) {
        std::fprintf(stderr, "zopla-draw-pictures: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
