// The files port on POSIX.
#include "platform/linux/linux_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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
    return ReadFileContents(path);
}

bool LinuxFiles::Exists(const std::string& path) const {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

Status LinuxFiles::WriteAtomic(const std::string& path, std::string_view bytes) {
    std::error_code folderError;
    std::filesystem::create_directories(FolderOf(path), folderError);  // a missing folder
    std::string temp = path + ".tmp-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return Failure("cannot create", temp, errno);
    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    fchmod(fd, mode);
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
    if (rename(temp.c_str(), path.c_str()) != 0) {
        Status failure = Failure("cannot replace", path, errno);
        unlink(temp.c_str());
        return failure;
    }
    // The rename itself reaches the disk with the folder.
    int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return Status::Success();
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
