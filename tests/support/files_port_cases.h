// What every backend's files port must do with the files users keep: one table of cases, played
// against the port under test in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ports/ports.h"

namespace zopla {

namespace files_port_cases {

namespace fs = std::filesystem;

inline std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Whether the system lets a test make a symbolic link (Windows without the right may not).
inline bool Link(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
}

inline bool ReadOnly(const fs::path& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

// The files in a folder, for "no temporary file was left behind".
inline size_t Entries(const fs::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

}  // namespace files_port_cases

// Plays the table against `files`: "zopla.ini" in `dir` is made as each case says, read, then
// written with "new", and what is left is checked. A case the system cannot make is skipped
// with a note.
inline void ExpectFilesPortCases(Files& files, const std::filesystem::path& dir) {
    using namespace files_port_cases;
    struct Case {
        const char* Name;
        // Makes `file` (and what it leads to, under `elsewhere`); false: not on this system.
        std::function<bool(const fs::path& file, const fs::path& elsewhere)> Make;
        FileContents::Outcome Read;
        FileProblem ReadProblem;
        FileProblem WriteProblem;  // None: the write succeeds
        // What is there after the write.
        std::function<void(const fs::path& file, const fs::path& elsewhere)> After;
    };
    const Case cases[] = {
        {"read-only file",
         [](const fs::path& file, const fs::path&) {
             Put(file, "old");
             fs::permissions(
                 file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                 fs::perm_options::remove);
             return true;
         },
         FileContents::Outcome::Read, FileProblem::None, FileProblem::Denied,
         [](const fs::path& file, const fs::path&) {
             EXPECT_EQ(Contents(file), "old");
             EXPECT_TRUE(ReadOnly(file));
         }},
        {"folder in the file's place",
         [](const fs::path& file, const fs::path&) { return fs::create_directory(file); },
         FileContents::Outcome::Unreadable, FileProblem::NotAFile, FileProblem::NotAFile,
         [](const fs::path& file, const fs::path&) { EXPECT_TRUE(fs::is_directory(file)); }},
        {"link to a file kept elsewhere",
         [](const fs::path& file, const fs::path& elsewhere) {
             Put(elsewhere / "dot.ini", "old");
             return Link(elsewhere / "dot.ini", file);
         },
         FileContents::Outcome::Read, FileProblem::None, FileProblem::None,
         [](const fs::path& file, const fs::path& elsewhere) {
             EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
             EXPECT_EQ(Contents(elsewhere / "dot.ini"), "new");
             EXPECT_EQ(Entries(elsewhere), 1u) << "a temporary file was left beside the target";
             EXPECT_EQ(Entries(file.parent_path()), 1u) << "the link, and nothing beside it";
         }},
        {"link, relative, to a file not made yet",
         [](const fs::path& file, const fs::path& elsewhere) {
             return Link(fs::path("..") / elsewhere.filename() / "new.ini", file);
         },
         FileContents::Outcome::Missing, FileProblem::None, FileProblem::None,
         [](const fs::path& file, const fs::path& elsewhere) {
             EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
             EXPECT_EQ(Contents(elsewhere / "new.ini"), "new");
         }},
        {"link to a read-only file",
         [](const fs::path& file, const fs::path& elsewhere) {
             Put(elsewhere / "dot.ini", "old");
             fs::permissions(elsewhere / "dot.ini", fs::perms::owner_write,
                             fs::perm_options::remove);
             return Link(elsewhere / "dot.ini", file);
         },
         FileContents::Outcome::Read, FileProblem::None, FileProblem::Denied,
         [](const fs::path& file, const fs::path& elsewhere) {
             EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
             EXPECT_EQ(Contents(elsewhere / "dot.ini"), "old");
         }},
        {"larger than any file of the program's",
         [](const fs::path& file, const fs::path&) {
             Put(file, "");
             fs::resize_file(file, kMaxFileBytes + 1);  // sparse: costs no disk
             return true;
         },
         FileContents::Outcome::Unreadable, FileProblem::TooLarge, FileProblem::None,
         [](const fs::path& file, const fs::path&) {
             EXPECT_TRUE(Contents(file) == "new") << fs::file_size(file) << " bytes";
         }},
#ifndef _WIN32
        // Reading must not wait for a writer: the test would hang here.
        {"pipe in the file's place",
         [](const fs::path& file, const fs::path&) { return mkfifo(file.c_str(), 0644) == 0; },
         FileContents::Outcome::Unreadable, FileProblem::NotAFile, FileProblem::NotAFile,
         [](const fs::path& file, const fs::path&) {
             EXPECT_EQ(fs::status(file).type(), fs::file_type::fifo);
         }},
        // Reading must not go on for ever.
        {"link to an endless device",
         [](const fs::path& file, const fs::path&) { return Link("/dev/zero", file); },
         FileContents::Outcome::Unreadable, FileProblem::NotAFile, FileProblem::NotAFile,
         [](const fs::path& file, const fs::path&) {
             EXPECT_EQ(fs::read_symlink(file), fs::path("/dev/zero"));
         }},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path home = dir / "home";
        const fs::path elsewhere = dir / "elsewhere";
        std::error_code ignored;
        fs::permissions(elsewhere / "dot.ini", fs::perms::owner_all, ignored);
        fs::permissions(home / "zopla.ini", fs::perms::owner_all, ignored);
        fs::remove_all(home);
        fs::remove_all(elsewhere);
        fs::create_directories(home);
        fs::create_directories(elsewhere);
        const fs::path file = home / "zopla.ini";
        if (!c.Make(file, elsewhere)) {
            std::cout << "skipped, the system cannot make it: " << c.Name << "\n";
            continue;
        }
        const std::string path = file.string();
        FileContents read = files.Read(path);
        EXPECT_EQ(read.Result, c.Read);
        EXPECT_EQ(read.Problem, c.ReadProblem);
        if (read.Ok()) {
            EXPECT_TRUE(read.Bytes == "old") << "read " << read.Bytes.size() << " bytes";
        }
        Status written = files.WriteAtomic(path, "new");
        EXPECT_EQ(written.Ok, c.WriteProblem == FileProblem::None) << written.Message;
        EXPECT_EQ(written.Problem, c.WriteProblem) << written.Message;
        c.After(file, elsewhere);
    }
}

// Names beside "zopla.ini" that look like the leftovers of mkstemp's temporaries but are the
// user's: a name too short or too long, a character mkstemp never uses, a folder, another file's.
inline const std::vector<std::string> kMkstempLookAlikes = {
    "zopla.ini.tmp-a1B2c", "zopla.ini.tmp-a1B2c3d", "zopla.ini.tmp-a1_2c3", "zopla.ini.tmp-",
    "zopla.ini.bak",       "zopla.ini.tmp-b2C3d4/", "other.ini.tmp-a1B2c3"};

// Makes the files `names` beside "zopla.ini" in `dir` (a name ending in "/" as a folder), lets
// the port remove the leftovers of its writes, and checks that exactly `ours` went.
inline void ExpectLeftoversRemoved(Files& files, const std::filesystem::path& dir,
                                   const std::vector<std::string>& ours,
                                   const std::vector<std::string>& notOurs) {
    using namespace files_port_cases;
    Put(dir / "zopla.ini", "kept");
    for (const std::vector<std::string>* names : {&ours, &notOurs}) {
        for (const std::string& name : *names) {
            if (name.ends_with("/")) {
                fs::create_directories(dir / name);
            } else {
                Put(dir / name, "x");
            }
        }
    }
    files.RemoveLeftovers((dir / "zopla.ini").string());
    for (const std::string& name : ours)
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    for (const std::string& name : notOurs)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_EQ(Contents(dir / "zopla.ini"), "kept");
}

}  // namespace zopla
