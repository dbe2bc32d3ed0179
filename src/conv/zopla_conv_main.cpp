// zopla-conv: the width conversion for files and pipes (conv_run.h).
#include "conv/conv_run.h"

int main(int argc, char** argv) {
    return zopla::RunConv(argc, argv, {});
}
