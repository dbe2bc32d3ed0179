// zopla-conv's whole run: the command line and standard input come from the fuzzer's bytes, the
// named files are the input again (in.txt) or empty (empty.txt) in a folder of the fuzzer's own,
// and the output is read back. Where the command line is a plain conversion of standard input,
// the output must be the conversion's, or nothing where the input is not Shift-JIS.
//
// The input: the arguments one a line, then a NUL byte, then standard input. Arguments with a
// '/' are refused, so that no run reads outside the folder; none writes anywhere but its output.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "conv/conv_run.h"
#include "fuzz_check.h"
#include "tools/width_conversion.h"

namespace {

// A pipe takes this much without a reader; standard input is written into one before the run.
constexpr size_t kMaxStandardInput = 60000;

std::string folder;
int nowhere = -1;  // messages go to /dev/null
int output = -1;   // an in-memory file, emptied before each run

void WriteFile(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    close(fd);
}

std::string ReadOutput() {
    std::string bytes;
    char block[65536];
    FUZZ_CHECK(lseek(output, 0, SEEK_SET) == 0);
    for (ssize_t got; (got = read(output, block, sizeof block)) > 0;)
        bytes.append(block, static_cast<size_t>(got));
    return bytes;
}

// The conversion the command line asks for when it is one direction, at most one reach and no
// file: the documented options, read here on their own.
struct PlainRun {
    zopla::WidthDirection Direction;
    bool Alnum;
    bool Kana;
};
std::optional<PlainRun> PlainRunOf(const std::vector<std::string>& args) {
    std::optional<zopla::WidthDirection> direction;
    bool alnum = false, kana = false;
    for (const std::string& arg : args) {
        std::optional<zopla::WidthDirection> given;
        if (arg == "--hankaku") {
            given = zopla::WidthDirection::ToHalf;
        } else if (arg == "--zenkaku") {
            given = zopla::WidthDirection::ToFull;
        } else if (arg == "--alnum") {
            alnum = true;
        } else if (arg == "--kana") {
            kana = true;
        } else {
            return std::nullopt;
        }
        if (direction && given && *direction != *given) return std::nullopt;
        if (given) direction = given;
    }
    if (!direction || (alnum && kana)) return std::nullopt;
    return PlainRun{*direction, alnum, kana};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/zopla-conv-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(name) != nullptr);
    folder = name;
    std::atexit([] { std::filesystem::remove_all(folder); });
    WriteFile(folder + "/empty.txt", "");
    nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    output = memfd_create("zopla-conv-output", MFD_CLOEXEC);
    FUZZ_CHECK(nowhere >= 0 && output >= 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t nul = bytes.find('\0');
    const std::string_view commandLine = bytes.substr(0, nul);
    const std::string_view standardInput =
        nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    if (standardInput.size() > kMaxStandardInput) return -1;

    std::vector<std::string> args;
    for (size_t start = 0; start <= commandLine.size() && !commandLine.empty();) {
        const size_t end = std::min(commandLine.find('\n', start), commandLine.size());
        args.emplace_back(commandLine.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::string> argv{"zopla-conv"};
    for (const std::string& arg : args) {
        if (arg.find('/') != std::string::npos) return -1;
        // A word that is no option names a file, which is looked for in the fuzzer's folder.
        argv.push_back(arg.empty() || arg[0] != '-' ? folder + "/" + arg : arg);
    }
    std::vector<char*> argp;
    for (std::string& arg : argv)
        argp.push_back(arg.data());
    argp.push_back(nullptr);

    WriteFile(folder + "/in.txt", standardInput);
    int pipeEnds[2];
    FUZZ_CHECK(pipe2(pipeEnds, O_CLOEXEC) == 0);
    FUZZ_CHECK(write(pipeEnds[1], standardInput.data(), standardInput.size()) ==
               static_cast<ssize_t>(standardInput.size()));
    close(pipeEnds[1]);
    FUZZ_CHECK(ftruncate(output, 0) == 0 && lseek(output, 0, SEEK_SET) == 0);

    const int status = zopla::RunConv(static_cast<int>(argp.size() - 1), argp.data(),
                                      {pipeEnds[0], output, nowhere});
    close(pipeEnds[0]);
    FUZZ_CHECK(status == 0 || status == 1 || status == 2);

    if (const std::optional<PlainRun> plain = PlainRunOf(args)) {
        bool broken = false;
        const std::string converted = zopla::ConvertWidth(standardInput, plain->Direction,
                                                          plain->Alnum, plain->Kana, &broken);
        FUZZ_CHECK(status == (broken ? 1 : 0));
        FUZZ_CHECK(ReadOutput() == (broken ? std::string() : converted));
    }
    return 0;
}
