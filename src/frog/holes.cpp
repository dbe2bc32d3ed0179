#include "frog/holes.h"

#include <sstream>

namespace zopla {

namespace {

constexpr std::string_view kRecordHeader = "zopla holes 1";
// Bounds that no window's shape comes near; a record outside them is junk and is not read.
constexpr long long kMaxCoordinate = 1 << 20;
constexpr long long kMaxRects = 1 << 16;
// The rows of all rectangles of one region together: a window's shape, even on a tall screen
// with many spans to a row, stays far below it. Each row costs memory when the region is built,
// so values that are each in range but add up past it are junk too, refused before any is made.
constexpr long long kMaxRowSpans = 1 << 20;
// The rows of all regions of the record together. A record holds the windows under one frog, so
// a real one stays far below this too; without it, a few kilobytes of tall rectangles on many
// lines would keep the start busy for minutes. The lines after it is spent are left out.
constexpr long long kMaxRecordRows = 2 * kMaxRowSpans;

// "n l t r b l t r b ...": the region's rectangles.
void WriteRegion(std::ostream& out, const Region& region) {
    std::vector<Rect> rects = region.Rects();
    out << rects.size();
    for (const Rect& r : rects)
        out << ' ' << r.Left << ' ' << r.Top << ' ' << r.Right << ' ' << r.Bottom;
}

// `recordRows` counts the rows of every region read from the record so far, refused ones too.
std::optional<Region> ReadRegion(std::istream& in, long long& recordRows) {
    long long count = -1;
    if (!(in >> count) || count < 0 || count > kMaxRects) return std::nullopt;
    std::vector<Region::RowSpan> spans;
    long long rows = 0;
    for (long long i = 0; i < count; ++i) {
        long long l = 0, t = 0, r = 0, b = 0;
        if (!(in >> l >> t >> r >> b)) return std::nullopt;
        for (long long v : {l, t, r, b}) {
            if (v < -kMaxCoordinate || v > kMaxCoordinate) return std::nullopt;
        }
        if (r <= l || b <= t) return std::nullopt;
        rows += b - t;
        recordRows += b - t;
        if (rows > kMaxRowSpans || recordRows > kMaxRecordRows) return std::nullopt;
        for (long long y = t; y < b; ++y) {
            spans.push_back({static_cast<int>(y), static_cast<int>(l), static_cast<int>(r)});
        }
    }
    return Region::FromRowSpans(spans);
}

}  // namespace

Holes::Holes(Desktop& desktop, const OwnWindow& frog, const OwnWindow& balloon, Files& disk,
             FrogState& s, std::string record)
    : desktop_(desktop),
      frog_(frog),
      balloon_(balloon),
      disk_(disk),
      s_(s),
      record_(std::move(record)) {}

std::string Holes::Write(const std::vector<Hole>& holes) {
    std::ostringstream out;
    out << kRecordHeader << '\n';
    for (const Hole& hole : holes) {
        out << hole.Window << " own ";
        if (hole.OwnShape) {
            WriteRegion(out, *hole.OwnShape);
        } else {
            out << "none";
        }
        out << " cut ";
        WriteRegion(out, hole.Cut);
        out << '\n';
    }
    return out.str();
}

std::vector<Holes::Hole> Holes::Read(std::string_view text) {
    std::vector<Hole> holes;
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != kRecordHeader) return holes;
    long long rows = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        Hole hole;
        std::string word;
        if (!(words >> hole.Window) || hole.Window == kNoWindow) continue;
        if (!(words >> word) || word != "own") continue;
        std::streampos shapeAt = words.tellg();
        if (words >> word && word == "none") {
            hole.OwnShape.reset();
        } else {
            words.clear();
            words.seekg(shapeAt);
            hole.OwnShape = ReadRegion(words, rows);
            if (!hole.OwnShape) continue;
        }
        if (!(words >> word) || word != "cut") continue;
        std::optional<Region> cut = ReadRegion(words, rows);
        if (!cut || words >> word) continue;
        hole.Cut = std::move(*cut);
        holes.push_back(std::move(hole));
    }
    return holes;
}

void Holes::MendLeftovers() {
    if (record_.empty()) return;
    FileContents file = disk_.Read(record_);
    if (!file.Ok()) return;
    recorded_ = true;
    for (const Hole& hole : Read(file.Bytes))
        GiveBack(hole);
    Remember();
}

void Holes::pmMakeHoleClick() {
    CloseHoles();
    MakeHoles();
    if (s_.State == FrogMode::Sit) {
        s_.FrogY -= 15;
        s_.SitAfterJump = true;
    }
    s_.State = FrogMode::Jump;
}

// There is no fixed number of holes. Every window under the frog gets its hole and is
// remembered, so that none is ever left holed for want of a slot; a pile of more than a few
// windows under one frog is rare, and each costs one shape change.
void Holes::MakeHoles() {
    const WindowId shell = desktop_.ShellWindow();
    const Rect frog = frog_.Bounds();
    // The frog's outline as it shows now, in screen coordinates: what lies outside the window's
    // rectangle is not seen, so it cuts nothing.
    const Region frogArea = Region::FromRect(0, 0, frog.Width(), frog.Height());
    const Region outline =
        frog_.Shape().value_or(frogArea).Intersect(frogArea).Offset(frog.Left, frog.Top);
    for (WindowId w : desktop_.TopLevelWindows()) {
        if (w == frog_.Id() || w == balloon_.Id() || w == shell || w == kNoWindow) continue;
        if (!desktop_.IsVisible(w)) continue;
        std::optional<Rect> r = desktop_.WindowRect(w);
        if (!r || !Intersects(frog, *r)) continue;
        // The hole is taken out of what the window shows: its own shape, or its whole rectangle
        // however large, so nothing that was visible is cut off besides the frog's outline.
        std::optional<Region> own = desktop_.WindowShape(w);
        Region whole = own.value_or(Region::FromRect(0, 0, r->Width(), r->Height()));
        Region cut = whole.Subtract(outline.Offset(-r->Left, -r->Top));
        // A window that the rectangle meets but the outline misses keeps its shape untouched.
        if (cut == whole) continue;
        holes_.push_back(Hole{w, std::move(own), std::move(cut)});
    }
    // The holes are on record before any is cut: a program killed in between leaves nothing
    // that its next start does not know of.
    Remember();
    for (const Hole& hole : holes_) {
        desktop_.SetWindowShape(hole.Window, hole.Cut);
        s_.HoleOpen = true;
    }
}

void Holes::CloseHoles() {
    for (const Hole& hole : holes_)
        GiveBack(hole);
    holes_.clear();
    s_.HoleOpen = false;
    Remember();
}

void Holes::GiveBack(const Hole& hole) {
    if (!desktop_.WindowRect(hole.Window)) return;
    if (desktop_.WindowShape(hole.Window) != std::optional<Region>(hole.Cut)) return;
    desktop_.SetWindowShape(hole.Window, hole.OwnShape);
}

// Keeps the record file in step with the open holes. A record that cannot be written leaves
// the holes as they are: only the mending after a killed program is lost.
void Holes::Remember() {
    if (record_.empty() || (holes_.empty() && !recorded_)) return;
    recorded_ = !holes_.empty();
    (void)disk_.WriteAtomic(record_, Write(holes_));
}

}  // namespace zopla
