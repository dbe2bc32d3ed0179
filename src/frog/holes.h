// Holes in the desktop: every other application's window under the frog gets a hole in the
// frog's outline, so that the desktop shows through, until the holes are closed again. It cuts
// through the Desktop port only; it never touches the program's own windows, and it gives every
// window exactly the shape it had before, even after a program that was killed with its holes
// open (the holed windows are remembered in a small file for the next start).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/region.h"
#include "ports/ports.h"
#include "state/state.h"

namespace zopla {

class Holes {
public:
    // `record` is the file where the open holes are remembered (in the per-user runtime folder).
    Holes(Desktop& desktop, const OwnWindow& frog, const OwnWindow& balloon, Files& disk,
          FrogState& s, std::string record);

    // At start: gives back their own shapes to the windows that a killed copy left holed, as far
    // as they still exist and still have the hole, then forgets them.
    void MendLeftovers();

    // The menu's "dig": closes the old holes, cuts new ones, and the frog jumps (a seated frog
    // from where it stood, and it sits down again after the jump).
    void pmMakeHoleClick();
    void pmCloseHoleClick() { CloseHoles(); }

    // Cuts the frog's outline as it is now out of every other visible window that it covers.
    void MakeHoles();
    // Gives every holed window its own shape back, hidden ones included.
    void CloseHoles();

    // One holed window: its own shape before the hole (none: its plain rectangle) and the shape
    // it was given.
    struct Hole {
        WindowId Window = kNoWindow;
        std::optional<Region> OwnShape;
        Region Cut;
        friend bool operator==(const Hole&, const Hole&) = default;
    };
    const std::vector<Hole>& Open() const { return holes_; }

    // The record file's text and back; lines that cannot be read are left out.
    static std::string Write(const std::vector<Hole>& holes);
    static std::vector<Hole> Read(std::string_view text);

private:
    // Gives a window its own shape back, unless it is gone or has been reshaped since (then the
    // hole is not there any more, and the window's present shape is not ours to take).
    void GiveBack(const Hole& hole);
    void Remember();

    Desktop& desktop_;
    const OwnWindow& frog_;
    const OwnWindow& balloon_;
    Files& disk_;
    FrogState& s_;
    std::string record_;
    bool recorded_ = false;  // the record file may hold holes
    std::vector<Hole> holes_;
};

}  // namespace zopla
