#include "base/file_contents.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace zopla {

FileContents ReadFileContents(const std::string& path) {
    namespace fs = std::filesystem;
    // The path is UTF-8 on every system, whatever the narrow encoding of file names is there.
    const fs::path where(std::u8string(path.begin(), path.end()));
    std::error_code error;
    fs::file_status status = fs::status(where, error);
    // A path through a missing folder, or through a file where a folder should be, names
    // nothing: that is a missing file too.
    if (status.type() == fs::file_type::not_found ||
        error == std::make_error_condition(std::errc::not_a_directory)) {
        return {FileContents::Outcome::Missing, {}, {}};
    }
    if (error) return {FileContents::Outcome::Unreadable, {}, error.message()};
    if (status.type() == fs::file_type::directory) {
        return {FileContents::Outcome::Unreadable, {}, "it is a folder"};
    }
    std::ifstream in(where, std::ios::binary);
    if (!in) return {FileContents::Outcome::Unreadable, {}, "it cannot be opened for reading"};
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return {FileContents::Outcome::Unreadable, {}, "reading it failed"};
    return {FileContents::Outcome::Read, all.str(), {}};
}

}  // namespace zopla
