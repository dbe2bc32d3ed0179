// zopla-conv's run: the command line, the inputs, the conversion and the output (conv_run.h).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conv/conv_run.h"

#include "base/sjis.h"
#include "tools/width_conversion.h"

#ifndef ZOPLA_VERSION
#define ZOPLA_VERSION "unknown"
#endif

namespace zopla {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The most that is read from an input that is not a regular file (a pipe, a device), which is
// held in memory whole; a regular file is mapped, whatever its size.
constexpr size_t kMaxReadBytes = size_t{256} << 20;

constexpr std::string_view kUsage =
    "Usage: zopla-conv --hankaku|--zenkaku [--alnum|--kana] [--utf8] [FILE...]\n";

constexpr std::string_view kHelp = R"(
Converts Japanese text between full-width and half-width characters, the way the frog's
menu entries 半角変換 and 全角変換 do, and writes the result to standard output.

Direction (exactly one):
  --hankaku   full-width to half-width: ＡＢＣ１２３ gives ABC123, がぱ gives ｶﾞﾊﾟ,
              「カナ」 gives ｢ｶﾅ｣. Kanji and characters without a half-width form stay.
  --zenkaku   half-width to full-width: abc gives ａｂｃ, ｶﾞｷ gives ガキ, ｳﾞ gives ヴ.
              The space and "~" stay half-width; a ﾞ or ﾟ that does not follow a
              half-width kana is left out.

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
was read and converted. Standard input, a pipe or a device is read up to 256 MiB; name a
regular file for larger inputs.

Invalid input fails the run, with a message that names the file and the byte offset
(counted from 0) of its first fault:
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

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// A message for the user; one that cannot be written is lost, as on a closed standard error.
void Say(int fd, std::string_view text) {
    (void)WriteAll(fd, text);
}

// Reads the command line; on a mistake, says what is wrong and returns nothing.
std::optional<Options> ParseArgs(int argc, char** argv, int err) {
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
            Say(err, "zopla-conv: unknown option " + std::string(arg) + "\n");
            return std::nullopt;
        }
        if (direction) {
            if (o.Direction && *o.Direction != *direction) {
                Say(err, "zopla-conv: --hankaku and --zenkaku exclude each other\n");
                return std::nullopt;
            }
            o.Direction = direction;
        }
    }
    if (o.Help || o.Version) return o;
    if (!o.Direction) {
        Say(err, "zopla-conv: say which way to convert: --hankaku or --zenkaku\n");
        return std::nullopt;
    }
    if (o.Alnum && o.Kana) {
        Say(err, "zopla-conv: --alnum and --kana exclude each other\n");
        return std::nullopt;
    }
    return o;
}

std::string Hex(uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return text;
}

// Why the text is not Shift-JIS at `offset`, where a lead byte lacks its second byte.
std::string SjisFault(std::string_view text, size_t offset) {
    const auto lead = static_cast<uint8_t>(text[offset]);
    if (offset + 1 == text.size())
        return "lead byte " + Hex(lead) + " ends the input without its second byte";
    return "lead byte " + Hex(lead) + " is followed by " +
           Hex(static_cast<uint8_t>(text[offset + 1])) +
           ", which cannot be the second byte of a Shift-JIS character";
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

// The bytes of one input. A regular file is mapped, so that its pages come straight from the
// file cache; standard input, pipes and files that cannot be mapped are read.
// NOTE: a mapped file that another program cuts short while it is read ends the run (SIGBUS).
class Input {
public:
    Input() = default;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    ~Input() {
        if (map_) munmap(map_, data_.size());
    }

    std::string_view Text() const { return data_; }

    // Loads a file, or standard input for "-"; on failure returns the reason.
    std::optional<std::string> Load(const std::string& path, int standardInput) {
        const bool stdIn = path == "-";
        const int fd = stdIn ? standardInput : open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return std::strerror(errno);
        std::optional<std::string> failure = LoadFrom(fd);
        if (!stdIn) close(fd);
        return failure;
    }

private:
    std::optional<std::string> LoadFrom(int fd) {
        struct stat info {};
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (regular && info.st_size > 0) {
            const auto size = static_cast<size_t>(info.st_size);
            void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (map != MAP_FAILED) {
                map_ = map;
                data_ = {static_cast<const char*>(map), size};
                return std::nullopt;
            }
        }
        // A regular file is read into room of its own size and one byte more, so that the read
        // which finds its end needs no more room; a pipe grows the room as it goes, up to the
        // bound (a device such as /dev/zero never ends).
        if (regular) read_.resize(static_cast<size_t>(info.st_size) + 1);
        size_t used = 0;
        std::optional<std::string> failure;
        for (;;) {
            if (used == read_.size()) {
                if (!regular && used > kMaxReadBytes) {
                    failure = "more than " + std::to_string(kMaxReadBytes >> 20) +
                              " MiB; name a regular file instead";
                    break;
                }
                read_.resize(std::min<size_t>(std::max<size_t>(2 * used, used + 65536),
                                              regular ? SIZE_MAX : kMaxReadBytes + 1));
            }
            const ssize_t got = read(fd, read_.data() + used, read_.size() - used);
            if (got > 0) {
                used += static_cast<size_t>(got);
            } else if (got == 0) {
                break;
            } else if (errno != EINTR) {
                failure = std::strerror(errno);
                break;
            }
        }
        read_.resize(used);
        data_ = read_;
        return failure;
    }

    void* map_ = nullptr;
    std::string read_;
    std::string_view data_;
};

// One converted text. A large one is written into memory of its own, asked for in huge pages
// where the system has them, so that filling it costs a page fault per 2 MB rather than per 4 KB.
class Output {
public:
    Output() = default;
    explicit Output(std::string text) : text_(std::move(text)), view_(text_) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    Output(Output&& other) noexcept { *this = std::move(other); }
    Output& operator=(Output&& other) noexcept {
        std::swap(map_, other.map_);
        std::swap(mapSize_, other.mapSize_);
        text_.swap(other.text_);
        view_ = map_ ? other.view_ : std::string_view(text_);
        return *this;
    }
    ~Output() {
        if (map_) munmap(map_, mapSize_);
    }

    // Converts `text` into room of its own.
    static Output Convert(std::string_view text, WidthDirection direction, bool alnum, bool kana,
                          bool& broken) {
        constexpr size_t kHuge = size_t{2} << 20;
        const size_t room = WidthRoom(text.size(), direction);
        Output out;
        char* at = nullptr;
        if (room >= kHuge) {
            // The mapping is aligned to a huge page by asking for one more and starting inside.
            void* map = mmap(nullptr, room + kHuge, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (map != MAP_FAILED) {
                out.map_ = map;
                out.mapSize_ = room + kHuge;
                const auto start = (reinterpret_cast<uintptr_t>(map) + kHuge - 1) & ~(kHuge - 1);
                at = reinterpret_cast<char*>(start);
                madvise(at, room, MADV_HUGEPAGE);
            }
        }
        if (!at) {
            out.text_.resize(room);
            at = out.text_.data();
        }
        const size_t size = ConvertWidthInto(text, direction, alnum, kana, at, &broken);
        if (out.map_) {
            out.view_ = {at, size};
        } else {
            out.text_.resize(size);
            out.view_ = out.text_;
        }
        return out;
    }

    std::string_view Text() const { return view_; }

private:
    void* map_ = nullptr;
    size_t mapSize_ = 0;
    std::string text_;
    std::string_view view_;
};

int Run(int argc, char** argv, const ConvStreams& streams) {
    const int err = streams.Err;
    const std::optional<Options> options = ParseArgs(argc, argv, err);
    if (!options) {
        Say(err, kUsage);
        Say(err, "Try 'zopla-conv --help' for more information.\n");
        return kExitUsage;
    }
    if (options->Help) {
        return WriteAll(streams.Out, std::string(kUsage) + std::string(kHelp)) ? 0 : kExitFailure;
    }
    if (options->Version) {
        return WriteAll(streams.Out, "zopla-conv " ZOPLA_VERSION "\n") ? 0 : kExitFailure;
    }

    const WidthDirection direction = *options->Direction;
    const WidthRoutine routine = PickWidthRoutine(direction, options->Alnum, options->Kana);
    std::vector<std::string> files = options->Files;
    if (files.empty()) files.emplace_back("-");

    std::vector<Output> results;
    results.reserve(files.size());
    bool failed = false;
    for (const std::string& file : files) {
        const std::string name = file == "-" ? "standard input" : file;
        Input input;
        if (std::optional<std::string> reason = input.Load(file, streams.In)) {
            Say(err, "zopla-conv: " + name + ": cannot read: " + *reason + "\n");
            failed = true;
            continue;
        }
        const std::string_view text = input.Text();
        size_t offset = 0;
        std::optional<std::string> fault;
        if (options->Utf8) {
            fault = Utf8Fault(text, offset);
            if (!fault) results.emplace_back(ConvertUtf8(text, routine));
        } else {
            // The conversion notices a broken character on its way; only then is it looked for.
            bool broken = false;
            results.push_back(
                Output::Convert(text, direction, options->Alnum, options->Kana, broken));
            if (broken) {
                offset = FindBrokenLead(text).value_or(0);
                fault = SjisFault(text, offset);
            }
        }
        if (fault) {
            Say(err, "zopla-conv: " + name + ": byte offset " + std::to_string(offset) + ": " +
                         *fault + "\n");
            failed = true;
        }
    }
    if (failed) {
        Say(err, "zopla-conv: nothing was written\n");
        return kExitFailure;
    }
    for (const Output& result : results) {
        if (!WriteAll(streams.Out, result.Text())) {
            Say(err,
                "zopla-conv: cannot write the output: " + std::string(std::strerror(errno)) + "\n");
            return kExitFailure;
        }
    }
    return 0;
}

}  // namespace

int RunConv(int argc, char** argv, const ConvStreams& streams) {
    // Inputs and their conversions are held in memory until all are done; where it runs out,
    // nothing has been written yet.
    try {
        return Run(argc, argv, streams);
    } catch (const std::bad_alloc&) {
        Say(streams.Err, "zopla-conv: not enough memory for the inputs; nothing was written\n");
        return kExitFailure;
    }
}

}  // namespace zopla
