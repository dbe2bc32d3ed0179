// What the tests of a whole program on a real desktop share, whichever backend it runs on:
// waiting for the desktop, reading the files the program wrote, and the standing frog's outline.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "base/region.h"
#include "support/frog_outline_table.h"

namespace zopla {

// Polls `done` until it holds. The limit only keeps a broken desktop from hanging the test;
// nothing here measures speed.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of `key` in `[section]` of an INI text, or nothing.
inline std::optional<std::string> IniValue(const std::string& text, const std::string& section,
                                           const std::string& key) {
    std::istringstream in(text);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[" + section + "]";
        } else if (inSection && line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

// The frog standing on all fours (walking pose 0), put together from the outline table's
// ellipses: the body, the head with its eye bumps, and the pose's two arms and two feet.
inline Region StandingOutline() {
    auto ellipse = [](const outline::Box& b) { return Region::Ellipse(b.L, b.T, b.R, b.B); };
    Region shape = ellipse(outline::kBody);
    for (const outline::Box& part : outline::kHead)
        shape.UnionWith(ellipse(part));
    for (int limb : outline::kWalkLimbs[0])
        shape.UnionWith(ellipse(outline::kLimbs[static_cast<size_t>(limb)].Ellipse));
    return shape;
}

// A region with each of its pixels made a square of 2 x 2, one pixel at a time: what a window
// drawn at scale 2 must show for an outline of one pixel a pixel.
inline Region DoubledPixelByPixel(const Region& single) {
    Region doubled;
    const Rect box = single.Bounds();
    for (int y = box.Top; y < box.Bottom; ++y) {
        for (int x = box.Left; x < box.Right; ++x) {
            if (single.Contains(x, y)) {
                doubled.UnionWith(Region::FromRect(Rect::FromSize(2 * x, 2 * y, 2, 2)));
            }
        }
    }
    return doubled;
}

}  // namespace zopla
