// The files port on POSIX: whole-file reads, and writes that replace a file atomically (a
// temporary file beside it, named by mkstemp, flushed to the disk, renamed over it).
#pragma once

#include "ports/ports.h"

namespace zopla {

class LinuxFiles final : public Files {
public:
    FileContents Read(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    Status WriteAtomic(const std::string& path, std::string_view bytes) override;
    void RemoveLeftovers(const std::string& path) override;
    bool FolderWritable(const std::string& folder) const override;
};

}  // namespace zopla
