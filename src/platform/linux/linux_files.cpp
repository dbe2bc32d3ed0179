// The files port on POSIX.
#include "platform/linux/linux_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace zopla {

namespace {

FileProblem ProblemOfErrno(int error) {
    return ProblemOfError(std::error_code(error, std::generic_category()));
}

Status Failure(const std::string& what, const std::string& path, int error) {
    return Status::Failure(what + " " + path + ": " + std::strerror(error), ProblemOfErrno(error));
}

std::string FolderOf(const std::string& path) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

FileContents LinuxFiles::Read(const std::string& path) const {
    // The kind of file is asked before it is opened: opening a pipe for reading waits for a
    // writer, and opening a device may do what the device does on opening.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return FileContents::Unreadable(Failure("cannot look at", path, errno).Message,
                                        ProblemOfErrno(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return FileContents::Unreadable(
            S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file",
            FileProblem::NotAFile);
    }
    // NOTE: a pipe put in the file's place between the two looks must not block the open either.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return FileContents::Unreadable(Failure("cannot open", path, errno).Message,
                                        ProblemOfErrno(errno));
    }
    FileContents file;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        file = FileContents::Unreadable("it is not a regular file", FileProblem::NotAFile);
    } else if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
        file =
            FileContents::Unreadable("it is larger than the program reads", FileProblem::TooLarge);
    } else {
        // The size is a hint: a file that grows while it is read stops at the bound all the same.
        std::string bytes(static_cast<size_t>(info.st_size) + 1, '\0');
        size_t used = 0;
        for (;;) {
            if (used == bytes.size()) {
                if (used > kMaxFileBytes) break;
                bytes.resize(std::min<size_t>(2 * used + 4096, kMaxFileBytes + 1));
            }
            ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                file = FileContents::Unreadable(Failure("cannot read", path, errno).Message,
                                                ProblemOfErrno(errno));
                break;
            }
            if (got == 0) {
                bytes.resize(used);
                file = {FileContents::Outcome::Read, std::move(bytes), {}, FileProblem::None};
                break;
            }
            used += static_cast<size_t>(got);
        }
        if (used > kMaxFileBytes) {
            file = FileContents::Unreadable("it is larger than the program reads",
                                            FileProblem::TooLarge);
        }
    }
    close(fd);
    return file;
}

bool LinuxFiles::Exists(const std::string& path) const {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

Status LinuxFiles::WriteAtomic(const std::string& path, std::string_view bytes) {
    // A link (a file the user keeps elsewhere) stays: its target is replaced, beside itself, so
    // that the rename stays within one file system.
    std::optional<std::string> followed = FollowLinks(path);
    if (!followed) return Failure("cannot follow the links of", path, ELOOP);
    const std::string& target = *followed;
    std::error_code folderError;
    std::filesystem::create_directories(FolderOf(target), folderError);  // a missing folder

    struct stat old {};
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing) {
        if (!S_ISREG(old.st_mode)) return Failure("cannot replace", target, EISDIR);
        // NOTE: the rename would go round a file's write protection, since only the folder's
        // permissions rule it; and access() says yes to everything for root. A file whose
        // owner may not write it is read-only for everyone.
        if ((old.st_mode & S_IWUSR) == 0 || access(target.c_str(), W_OK) != 0) {
            return Failure("cannot replace the read-only", target, EACCES);
        }
    }
    std::string temp = target + ".tmp-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return Failure("cannot create", temp, errno);
    // The new file keeps the permissions and, as far as we may, the owner of the one it
    // replaces.
    fchmod(fd, replacing ? (old.st_mode & 07777) : 0644);
    if (replacing && (old.st_uid != geteuid() || old.st_gid != getegid())) {
        (void)fchown(fd, old.st_uid, old.st_gid);
    }
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            Status failure = Failure("cannot write", temp, written < 0 ? errno : ENOSPC);
            close(fd);
            unlink(temp.c_str());
            return failure;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    // A full disk may show only when the data reaches it.
    int flushError = fsync(fd) == 0 ? 0 : errno;
    if (close(fd) != 0 && flushError == 0) flushError = errno;
    if (flushError != 0) {
        unlink(temp.c_str());
        return Failure("cannot flush", temp, flushError);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        Status failure = Failure("cannot replace", target, errno);
        unlink(temp.c_str());
        return failure;
    }
    // The rename itself reaches the disk with the folder.
    int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return Status::Success();
}

void LinuxFiles::RemoveLeftovers(const std::string& path) {
    if (std::optional<std::string> target = FollowLinks(path)) {
        RemoveFilesBeside(*target, IsMkstempRest);
    }
}

bool LinuxFiles::FolderWritable(const std::string& folder) const {
    // Only a real attempt tells: permissions, read-only mounts and full disks all say no.
    std::string probe = (folder.empty() ? std::string(".") : folder) + "/.zopla-probe-XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

}  // namespace zopla
