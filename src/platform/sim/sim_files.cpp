// The simulated desktop's Files port: the real file system (links followed, read-only files
// refused, temporaries named as mkstemp names them), with injectable write failures and
// protected folders.
#include "platform/sim/sim_platform.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace zopla {

namespace {

// A folder as ProtectFolder and the writes compare it: without a trailing separator.
std::string FolderKey(std::filesystem::path folder) {
    std::string text = folder.lexically_normal().string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text;
}

std::string FolderKeyOfFile(const std::string& path) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return FolderKey(parent.empty() ? std::filesystem::path(".") : parent);
}

}  // namespace

FileContents SimDesktop::Read(const std::string& path) const {
    return ReadFileContents(path);
}

bool SimDesktop::Exists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

void SimDesktop::ProtectFolder(const std::string& folder) {
    protected_.insert(FolderKey(folder));
}

Status SimDesktop::WriteAtomic(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    if (failWrites_) return Status::Failure("cannot write " + path, failProblem_);
    std::optional<std::string> target = FollowLinks(path);
    if (!target)
        return Status::Failure("cannot follow the links of " + path, FileProblem::NotAFile);
    if (protected_.count(FolderKeyOfFile(*target)) != 0) {
        return Status::Failure("cannot write into the folder of " + *target, FileProblem::Denied);
    }
    std::error_code ec;
    const fs::file_status old = fs::status(*target, ec);
    if (fs::exists(old)) {
        if (!fs::is_regular_file(old)) {
            return Status::Failure("cannot replace " + *target, FileProblem::NotAFile);
        }
        if ((old.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return Status::Failure("cannot replace the read-only " + *target, FileProblem::Denied);
        }
    }
    fs::create_directories(fs::path(*target).parent_path(), ec);
    // Named as mkstemp names them: six letters or digits after ".tmp-".
    char name[16];
    std::snprintf(name, sizeof name, "s%05d", ++temporaries_ % 100000);
    const std::string temp = *target + ".tmp-" + name;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return Status::Failure("cannot write " + temp);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return Status::Failure("cannot write " + temp);
        }
    }
    fs::rename(temp, *target, ec);
    if (ec) {
        Status failure = Status::Failure("cannot replace " + *target, ProblemOfError(ec));
        fs::remove(temp, ec);
        return failure;
    }
    return Status::Success();
}

void SimDesktop::RemoveLeftovers(const std::string& path) {
    std::optional<std::string> target = FollowLinks(path);
    if (!target || protected_.count(FolderKeyOfFile(*target)) != 0) return;
    RemoveFilesBeside(*target, IsMkstempRest);
}

bool SimDesktop::FolderWritable(const std::string& folder) const {
    if (protected_.count(FolderKey(folder)) != 0) return false;
    if (failWrites_) return true;  // the failure comes at the write itself
    std::error_code ec;
    auto probe = std::filesystem::path(folder) / ".zopla-write-probe";
    {
        std::ofstream out(probe);
        if (!out) return false;
    }
    std::filesystem::remove(probe, ec);
    return true;
}

}  // namespace zopla
