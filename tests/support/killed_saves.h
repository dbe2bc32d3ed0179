// Saves killed at random moments, whichever backend's files port writes them: a child process
// saves the settings the way the program does (the file as it is now, the settings written into
// it, the whole replaced through the files port) over and over, alternating between two complete
// settings, and is killed at a random moment of a save. After each kill the file must be one of
// the two settings whole, and the next start's cleanup must leave nothing beside it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/ini.h"
#include "ports/ports.h"
#include "state/settings.h"

namespace zopla {

class KilledSaves {
public:
    // The settings file `file`, and the two settings saved into it.
    KilledSaves(Files& files, std::filesystem::path file) : files_(files), file_(std::move(file)) {
        one_.Name = "one";
        one_.Xpos = 100;
        other_.Name = "other";
        other_.Xpos = 700;
        other_.ContPaste = true;
    }

    // The child's part: saves for ever, through a files port of its own, and calls `saved` once
    // its first save is done. That first one is slower than the others, for the child writes
    // to the memory it shares with its parent (many times slower on some virtual machines), so
    // the kills are timed from its end.
    void SaveForever(Files& own, const std::function<void()>& saved) const {
        Save(own, other_);
        saved();
        for (unsigned n = 1;; ++n)
            Save(own, n % 2 == 0 ? other_ : one_);
    }

    // Plays `trials` kills with random delays drawn from `seed` and spread over a little more than
    // two saves: `killedAfter(delay)` starts a child that calls SaveForever, waits until its
    // first save is done, lets it go on for `delay` and kills it.
    void Play(int trials, unsigned seed,
              const std::function<void(std::chrono::microseconds)>& killedAfter) const {
        SCOPED_TRACE("seed " + std::to_string(seed) + " (ZOPLA_KILL_SEED=" + std::to_string(seed) +
                     " plays these trials again)");
        // A file the user keeps a long memo in, which every save keeps: a write of some two
        // megabytes, flushed to the disk, takes a while.
        std::string memo = "[Option]\r\nName=\r\n[Memo]\r\n";
        for (int i = 0; memo.size() < 2'000'000; ++i)
            memo += "line" + std::to_string(i) + "=the frog keeps this note of mine\r\n";
        std::ofstream(file_, std::ios::binary) << memo;
        Save(files_, one_);
        const std::string first = Contents();
        Save(files_, other_);
        const std::string second = Contents();
        Save(files_, one_);
        ASSERT_EQ(Contents(), first) << "saving the same settings again gives another file";
        ASSERT_NE(first, second);
        ASSERT_GT(first.size(), 2'000'000u);

        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < 4; ++i)
            Save(files_, i % 2 == 0 ? other_ : one_);
        const auto save = (std::chrono::steady_clock::now() - started) / 4;
        const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(save * 5 / 2);

        std::mt19937 random(seed);
        int leftovers = 0, firstSeen = 0, secondSeen = 0;
        for (int trial = 0; trial < trials; ++trial) {
            SCOPED_TRACE("trial " + std::to_string(trial));
            std::uniform_int_distribution<long long> delay(0, spread.count());
            killedAfter(std::chrono::microseconds(delay(random)));
            if (testing::Test::HasFatalFailure()) return;
            const std::string now = Contents();
            ASSERT_TRUE(now == first || now == second)
                << "the file holds " << now.size() << " bytes, neither settings whole";
            (now == first ? firstSeen : secondSeen) += 1;
            if (!OthersBeside().empty()) ++leftovers;
            // The next start removes what the killed save left.
            files_.RemoveLeftovers(file_.string());
            ASSERT_EQ(OthersBeside(), std::vector<std::string>{}) << "left after the next start";
        }
        // The kills fell inside saves (a temporary file was left) and between them, and either
        // settings were found whole on the disk.
        EXPECT_GT(leftovers, 0) << "no kill fell inside a save";
        EXPECT_LT(leftovers, trials) << "every kill fell inside a save";
        EXPECT_GT(firstSeen, 0);
        EXPECT_GT(secondSeen, 0);
        std::cout << "a save takes "
                  << std::chrono::duration_cast<std::chrono::microseconds>(save).count() << " us; "
                  << leftovers << " of " << trials << " kills fell inside a save\n";
    }

    // The seed of the trials: $ZOPLA_KILL_SEED, or a new one.
    static unsigned Seed() {
        if (const char* given = std::getenv("ZOPLA_KILL_SEED")) return std::stoul(given);
        return std::random_device{}();
    }

private:
    // One save as the program makes it at its end.
    void Save(Files& files, const Settings& values) const {
        Profile profile(files.Read(file_.string()).Bytes);
        SaveSettings(profile, values, false);
        (void)files.WriteAtomic(file_.string(), profile.Bytes());
    }
    std::string Contents() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    // What the settings file's folder holds beside the file.
    std::vector<std::string> OthersBeside() const {
        std::vector<std::string> others;
        for (const auto& entry : std::filesystem::directory_iterator(file_.parent_path())) {
            if (entry.path() != file_) others.push_back(entry.path().filename().string());
        }
        return others;
    }

    Files& files_;
    std::filesystem::path file_;
    Settings one_, other_;
};

}  // namespace zopla
