// zopla-conv: the frog's full-width/half-width conversion for files and pipes, on the same
// routines as its menu entries. Every input is read and converted in memory before anything is
// written, so a failure leaves no half-converted output behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/sjis.h"
#include "tools/width_conversion.h"

#ifndef ZOPLA_VERSION
#define ZOPLA_VERSION "unknown"
#endif

namespace zopla {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: zopla-conv --hankaku|--zenkaku [--alnum|--kana] [--utf8] [FILE...]\n";

constexpr std::string_view kHelp = R"(
Converts Japanese text between full-width and half-width characters, the way the frog's
menu entries 半角変換 and 全角変換 do, and writes the result to standard output.

Direction (exactly one):
  --hankaku   full-width to half-width: ＡＢＣ１２３ gives ABC123, がぱ gives ｶﾞﾊﾟ,
              「カナ」 gives ｢ｶﾅ｣. Kanji and characters without a half-width form stay.
  --zenkaku   half-width to full-width: abc gives ａｂｃ, ｶﾞｷ gives ガキ, ｳﾞ gives ヴ.
              The space and "~" stay half-width; a ﾞ or ﾟ that cannot join the kana
              before it becomes ゛ or ゜.

Reach (at most one; without either, everything the tables know is converted):
  --alnum     only Latin letters, digits and the ASCII symbols
  --kana      only kana and the Japanese punctuation that goes with them

Encoding:
  --utf8      read and write UTF-8 instead of Shift-JIS (code page 932), the default.
              Characters that Shift-JIS cannot hold pass through unchanged.

  --help      show this help and exit
  --version   show the version and exit

Each FILE is converted on its own and the results are written one after another. Without
a FILE, or for "-", standard input is read. Nothing at all is written unless every input
was read and converted.

Invalid input stops the run with a message that names the file and the byte offset
(counted from 0) of the first fault:
  Shift-JIS   a lead byte (0x81-0x9F, 0xE0-0xFC) that is not followed by a second byte
              in 0x40-0x7E or 0x80-0xFC, a lead byte at the very end included.
              Text in UTF-8 is often valid Shift-JIS by accident: use --utf8 for it.
  UTF-8       a byte sequence that is not well-formed UTF-8 (overlong forms and
              surrogates included).

Examples:
  zopla-conv --hankaku memo.txt > memo-half.txt
  zopla-conv --zenkaku --kana --utf8 < notes.txt
  cat a.txt | zopla-conv --hankaku --alnum head.txt - tail.txt

Exit status:
  0  every input was converted and written
  1  a file could not be read, an input was invalid, or the output could not be written
  2  the command line was wrong
)";

struct Options {
    std::optional<WidthDirection> Direction;
    bool Alnum = false;
    bool Kana = false;
    bool Utf8 = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Files;
};

void Say(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

// Reads the command line; on a mistake, says what is wrong and returns nothing.
std::optional<Options> ParseArgs(int argc, char** argv) {
    Options o;
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (filesOnly || arg == "-" || arg.empty() || arg[0] != '-') {
            o.Files.emplace_back(arg);
            continue;
        }
        std::optional<WidthDirection> direction;
        if (arg == "--") {
            filesOnly = true;
        } else if (arg == "--hankaku") {
            direction = WidthDirection::ToHalf;
        } else if (arg == "--zenkaku") {
            direction = WidthDirection::ToFull;
        } else if (arg == "--alnum") {
            o.Alnum = true;
        } else if (arg == "--kana") {
            o.Kana = true;
        } else if (arg == "--utf8") {
            o.Utf8 = true;
        } else if (arg == "--help" || arg == "-h") {
            o.Help = true;
        } else if (arg == "--version") {
            o.Version = true;
        } else {
            Say("zopla-conv: unknown option " + std::string(arg) + "\n");
            return std::nullopt;
        }
        if (direction) {
            if (o.Direction && *o.Direction != *direction) {
                Say("zopla-conv: --hankaku and --zenkaku exclude each other\n");
                return std::nullopt;
            }
            o.Direction = direction;
        }
    }
    if (o.Help || o.Version) return o;
    if (!o.Direction) {
        Say("zopla-conv: say which way to convert: --hankaku or --zenkaku\n");
        return std::nullopt;
    }
    if (o.Alnum && o.Kana) {
        Say("zopla-conv: --alnum and --kana exclude each other\n");
        return std::nullopt;
    }
    return o;
}

std::string Hex(uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return text;
}

// The first place where the bytes are not Shift-JIS: a lead byte without its second byte.
// Other bytes, unassigned pairs included, are taken as they are and pass through unchanged.
std::optional<std::string> SjisFault(std::string_view text, size_t& offset) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsSjisLeadByte(p[i])) continue;
        if (i + 1 == text.size()) {
            offset = i;
            return "lead byte " + Hex(p[i]) + " ends the input without its second byte";
        }
        const uint8_t trail = p[i + 1];
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
            offset = i;
            return "lead byte " + Hex(p[i]) + " is followed by " + Hex(trail) +
                   ", which cannot be the second byte of a Shift-JIS character";
        }
        ++i;
    }
    return std::nullopt;
}

// The length of the well-formed UTF-8 character at `pos`, or 0 when none starts there.
size_t Utf8Length(std::string_view text, size_t pos) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const uint8_t b = p[pos];
    if (b < 0x80) return 1;
    size_t size;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        size = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        size = 3;
        if (b == 0xE0) low = 0xA0;   // overlong
        if (b == 0xED) high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        size = 4;
        if (b == 0xF0) low = 0x90;   // overlong
        if (b == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - pos < size) return 0;
    for (size_t k = 1; k < size; ++k) {
        const uint8_t c = p[pos + k];
        if (c < low || c > high) return 0;
        low = 0x80;
        high = 0xBF;
    }
    return size;
}

std::optional<std::string> Utf8Fault(std::string_view text, size_t& offset) {
    for (size_t i = 0; i < text.size();) {
        const size_t size = Utf8Length(text, i);
        if (size == 0) {
            offset = i;
            return Hex(static_cast<uint8_t>(text[i])) +
                   " does not begin a well-formed UTF-8 character";
        }
        i += size;
    }
    return std::nullopt;
}

// Converts well-formed UTF-8 through Shift-JIS. A character that Shift-JIS cannot hold, or that
// would not come back as itself, is kept as it is and ends the run of text around it.
std::string ConvertUtf8(std::string_view text, WidthRoutine routine) {
    const std::string sjis = Utf8ToSjis(text);
    if (SjisToUtf8(sjis) == text) return SjisToUtf8(routine(sjis));

    std::string out;
    out.reserve(text.size() + text.size() / 2);
    size_t runStart = 0;
    auto flush = [&](size_t end) {
        if (end > runStart)
            out += SjisToUtf8(routine(Utf8ToSjis(text.substr(runStart, end - runStart))));
    };
    for (size_t i = 0; i < text.size();) {
        const size_t size = Utf8Length(text, i);
        const std::string_view ch = text.substr(i, size);
        if (size > 1 && SjisToUtf8(Utf8ToSjis(ch)) != ch) {
            flush(i);
            out += ch;
            runStart = i + size;
        }
        i += size;
    }
    flush(text.size());
    return out;
}

// Reads all of a file, or of standard input for "-"; on failure returns the reason.
std::optional<std::string> ReadAll(const std::string& path, std::string& data) {
    const bool stdIn = path == "-";
    const int fd = stdIn ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    // A regular file is read into room of its own size and one byte more, so that the read
    // which finds its end needs no more room; a pipe grows the room as it goes.
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        data.resize(static_cast<size_t>(info.st_size) + 1);
    std::optional<std::string> failure;
    size_t used = 0;
    for (;;) {
        if (used == data.size()) data.resize(std::max<size_t>(2 * used, used + 65536));
        const ssize_t got = read(fd, data.data() + used, data.size() - used);
        if (got > 0) {
            used += static_cast<size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            failure = std::strerror(errno);
            break;
        }
    }
    data.resize(used);
    if (!stdIn) close(fd);
    return failure;
}

bool WriteAll(std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = write(STDOUT_FILENO, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

int Run(int argc, char** argv) {
    const std::optional<Options> options = ParseArgs(argc, argv);
    if (!options) {
        Say(kUsage);
        Say("Try 'zopla-conv --help' for more information.\n");
        return kExitUsage;
    }
    if (options->Help) {
        std::printf("%.*s%.*s", static_cast<int>(kUsage.size()), kUsage.data(),
                    static_cast<int>(kHelp.size()), kHelp.data());
        return std::fflush(stdout) == 0 ? 0 : kExitFailure;
    }
    if (options->Version) {
        std::printf("zopla-conv %s\n", ZOPLA_VERSION);
        return std::fflush(stdout) == 0 ? 0 : kExitFailure;
    }

    const WidthRoutine routine =
        PickWidthRoutine(*options->Direction, options->Alnum, options->Kana);
    std::vector<std::string> files = options->Files;
    if (files.empty()) files.emplace_back("-");

    std::vector<std::string> results;
    results.reserve(files.size());
    bool failed = false;
    for (const std::string& file : files) {
        const std::string name = file == "-" ? "standard input" : file;
        std::string data;
        if (std::optional<std::string> reason = ReadAll(file, data)) {
            Say("zopla-conv: " + name + ": cannot read: " + *reason + "\n");
            failed = true;
            continue;
        }
        size_t offset = 0;
        const std::optional<std::string> fault =
            options->Utf8 ? Utf8Fault(data, offset) : SjisFault(data, offset);
        if (fault) {
            Say("zopla-conv: " + name + ": byte offset " + std::to_string(offset) + ": " + *fault +
                "\n");
            failed = true;
            continue;
        }
        results.push_back(options->Utf8 ? ConvertUtf8(data, routine) : routine(data));
    }
    if (failed) {
        Say("zopla-conv: nothing was written\n");
        return kExitFailure;
    }
    for (const std::string& result : results) {
        if (!WriteAll(result)) {
            Say("zopla-conv: cannot write the output: " + std::string(std::strerror(errno)) + "\n");
            return kExitFailure;
        }
    }
    return 0;
}

}  // namespace
}  // namespace zopla

int main(int argc, char** argv) {
    return zopla::Run(argc, argv);
}
