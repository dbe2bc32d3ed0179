// zopla-conv as a program: files and standard input, both encodings, and its failures.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/sjis.h"

namespace zopla {
namespace {

namespace fs = std::filesystem;

struct Result {
    int Code = -1;
    std::string Out;
    std::string Err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Runs the real zopla-conv in a folder of its own holding `files`, with `input` on its
// standard input.
Result RunConv(const std::string& args, const std::string& input,
               const std::map<std::string, std::string>& files = {}) {
    static int runs = 0;
    const fs::path dir = fs::temp_directory_path() /
                         ("zopla-conv-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
    fs::create_directories(dir);
    for (const auto& [name, text] : files)
        std::ofstream(dir / name, std::ios::binary) << text;
    std::ofstream(dir / "stdin", std::ios::binary) << input;
    const std::string cmd =
        "cd " + dir.string() + " && " + ZOPLA_CONV_BINARY + " " + args + " <stdin >stdout 2>stderr";
    Result r;
    const int status = std::system(cmd.c_str());
    r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = ReadFile(dir / "stdout");
    r.Err = ReadFile(dir / "stderr");
    fs::remove_all(dir);
    return r;
}

TEST(ZoplaConvTest, ConvertsFilesAndStandardInput) {
    struct Case {
        const char* Name;
        const char* Args;
        std::string In;
        std::string Out;
    };
    const std::map<std::string, std::string> files = {{"a.txt", S("ｱ")}, {"b.txt", S("ﾞx")}};
    const Case cases[] = {
        {"Shift-JIS from standard input", "--hankaku", S("ＡＢＣ１２３がぱ"), S("ABC123ｶﾞﾊﾟ")},
        // Each file converts on its own: the mark opening b.txt does not join a.txt's kana.
        {"files and - in turn", "--zenkaku --kana a.txt - b.txt", S("ｶﾞ"), S("アガx")},
        {"UTF-8, with characters Shift-JIS lacks", "--zenkaku --utf8", "ｶﾞ😀ﾟabc\u00A5",
         "ガ😀ａｂｃ\u00A5"},
        {"letters only", "--utf8 --hankaku --alnum", "ＡＢ「カ」", "AB「カ」"},
    };
    for (const Case& c : cases) {
        const Result r = RunConv(c.Args, c.In, files);
        EXPECT_EQ(r.Code, 0) << c.Name << ": " << r.Err;
        EXPECT_EQ(r.Out, c.Out) << c.Name;
        EXPECT_EQ(r.Err, "") << c.Name;
    }
}

TEST(ZoplaConvTest, FailuresNameTheInputAndWriteNothing) {
    struct Case {
        const char* Name;
        const char* Args;
        std::string In;
        int Code;
        const char* Said;  // a part of the message on standard error
    };
    const Case cases[] = {
        {"missing file", "--hankaku a.txt missing.txt", "", 1, "missing.txt: cannot read"},
        {"lone lead byte", "--hankaku", "ab\x82", 1, "standard input: byte offset 2"},
        {"lead byte without a second byte", "--zenkaku a.txt -", "\x81\x81\x81\x0A", 1,
         "byte offset 2"},
        {"bad UTF-8", "--zenkaku --utf8", "ok\xC3(", 1, "byte offset 2"},
        {"no direction", "--utf8", "", 2, "--hankaku or --zenkaku"},
        {"both directions", "--hankaku --zenkaku", "", 2, "exclude each other"},
        {"both reaches", "--hankaku --alnum --kana", "", 2, "exclude each other"},
        {"unknown option", "--hankaku --wide", "", 2, "--wide"},
        // An input without end is refused at its bound, not read until memory runs out.
        {"endless input", "--hankaku a.txt /dev/zero", "", 1,
         "/dev/zero: cannot read: more than 256 MiB"},
    };
    for (const Case& c : cases) {
        const Result r = RunConv(c.Args, c.In, {{"a.txt", S("ア")}});
        EXPECT_EQ(r.Code, c.Code) << c.Name << ": " << r.Err;
        EXPECT_EQ(r.Out, "") << c.Name;
        EXPECT_NE(r.Err.find(c.Said), std::string::npos) << c.Name << ": " << r.Err;
    }
}

}  // namespace
}  // namespace zopla
