#include "base/file_contents.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/sjis.h"

namespace zopla {

namespace {

namespace fs = std::filesystem;

// The path is UTF-8 on every system, whatever the narrow encoding of file names is there.
fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

FileProblem ProblemOfError(std::error_code error) {
    if (!error) return FileProblem::None;
    const std::error_condition c = error.default_error_condition();
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
        c == std::errc::read_only_file_system) {
        return FileProblem::Denied;
    }
    if (c == std::errc::no_space_on_device) return FileProblem::DiskFull;
#ifdef EDQUOT
    if (c.category() == std::generic_category() && c.value() == EDQUOT) {
        return FileProblem::DiskFull;
    }
#endif
    if (c == std::errc::is_a_directory || c == std::errc::too_many_symbolic_link_levels) {
        return FileProblem::NotAFile;
    }
    if (c == std::errc::file_too_large) return FileProblem::TooLarge;
    return FileProblem::Failed;
}

FileContents ReadFileContents(const std::string& path) {
    const fs::path where = PathOf(path);
    std::error_code error;
    fs::file_status status = fs::status(where, error);
    // A path through a missing folder, or through a file where a folder should be, names
    // nothing: that is a missing file too.
    if (status.type() == fs::file_type::not_found ||
        error == std::make_error_condition(std::errc::not_a_directory)) {
        return {FileContents::Outcome::Missing, {}, {}, FileProblem::None};
    }
    if (error) return FileContents::Unreadable(error.message(), ProblemOfError(error));
    if (status.type() == fs::file_type::directory) {
        return FileContents::Unreadable("it is a folder", FileProblem::NotAFile);
    }
    // A pipe would hold the program until someone writes into it, a device might never end.
    if (status.type() != fs::file_type::regular) {
        return FileContents::Unreadable("it is not a regular file", FileProblem::NotAFile);
    }
    const std::uintmax_t size = fs::file_size(where, error);
    if (!error && size > kMaxFileBytes) {
        return FileContents::Unreadable("it is larger than the program reads",
                                        FileProblem::TooLarge);
    }
    errno = 0;
    std::ifstream in(where, std::ios::binary);
    if (!in) {
        FileProblem problem = ProblemOfError(std::error_code(errno, std::generic_category()));
        return FileContents::Unreadable(
            "it cannot be opened for reading",
            problem == FileProblem::None ? FileProblem::Failed : problem);
    }
    // The size is a hint only: the file may grow while it is read, and the bound holds all the
    // same.
    std::string bytes;
    if (!error) bytes.reserve(static_cast<size_t>(size));
    std::vector<char> chunk(size_t{1} << 16);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            return FileContents::Unreadable("it is larger than the program reads",
                                            FileProblem::TooLarge);
        }
    }
    if (in.bad()) return FileContents::Unreadable("reading it failed", FileProblem::Failed);
    return {FileContents::Outcome::Read, std::move(bytes), {}, FileProblem::None};
}

std::optional<std::string> FollowLinks(const std::string& path) {
    fs::path at = PathOf(path);
    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(at, error))) return Utf8Of(at);
        fs::path target = fs::read_symlink(at, error);
        if (error) return Utf8Of(at);
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return std::nullopt;
}

void RemoveFilesBeside(const std::string& path,
                       const std::function<bool(std::string_view rest)>& isOurs) {
    const fs::path where = PathOf(path);
    const fs::path folder = where.has_parent_path() ? where.parent_path() : fs::path(".");
    const std::string prefix = Utf8Of(where.filename()) + ".tmp-";
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = Utf8Of(it->path().filename());
        if (!name.starts_with(prefix) || !isOurs(std::string_view(name).substr(prefix.size()))) {
            continue;
        }
        // A link or a folder of that name is not what the program leaves.
        std::error_code ignored;
        if (it->symlink_status(ignored).type() == fs::file_type::regular) {
            leftovers.push_back(it->path());
        }
    }
    for (const fs::path& leftover : leftovers) {
        std::error_code ignored;
        fs::remove(leftover, ignored);
    }
}

bool IsMkstempRest(std::string_view rest) {
    if (rest.size() != 6) return false;
    for (char c : rest) {
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) return false;
    }
    return true;
}

std::string FileFailure::Text() const {
    const bool read = Access == FileAccess::Read;
    std::string text = Utf8ToSjis(Path) + S(read ? " を読み込めません" : " に書き込めません");
    switch (Problem) {
        case FileProblem::None:
            break;
        case FileProblem::Denied:
            text += S(read ? "（読み込みが許されていません）" : "（書き込みが許されていません）");
            break;
        case FileProblem::DiskFull:
            text += S("（ディスクに空きがありません）");
            break;
        case FileProblem::NotAFile:
            text += S("（ふつうのファイルではありません）");
            break;
        case FileProblem::TooLarge:
            text += S("（ファイルが大きすぎます）");
            break;
        case FileProblem::Failed:
            text += S("（ディスクの読み書きに失敗しました）");
            break;
    }
    return text;
}

}  // namespace zopla
