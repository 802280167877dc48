// Checks on what a saved frame shows a player: its pixels (a PNG screenshot of
// the game) read together with the ".layout" file the test channel writes
// beside it (every visible GUI window and overlay element, where it is drawn,
// its text and font, its material). Each check returns the problems it found
// as readable lines; none means the frame passed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Box {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
};

class Frame {
public:
    // False when the file is missing or not a PNG.
    bool Load(const std::filesystem::path& png);
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    Rgb At(int x, int y) const;
    // The mean colour of the pixels inside the box (clipped to the frame).
    Rgb Mean(const Box& box) const;

private:
    int mWidth = 0, mHeight = 0;
    std::vector<uint8_t> mRgb;
};

struct LaidWindow {
    std::string name, type, parent, font, text;
    Box area, textArea;
    float textWidth = 0, fontHeight = 0;
    bool wraps = false, disabled = false;
    // A GUI button, or a plain "Btn..." window laid over the picture that
    // shows the button.
    bool IsButton() const {
        return type.find("Button") != std::string::npos || (type == "DefaultWindow" && name.rfind("Btn", 0) == 0);
    }
};

struct LaidElement {
    std::string overlay, name, parent, material, caption;
    int zOrder = 0;
    Box area;
    bool untextured = false;
};

// A match object (ball, target ball, marker) where the scene holds it.
struct LaidNode {
    std::string name;
    bool visible = false;
    float x = 0, y = 0, z = 0, scale = 0;
};

struct FrameLayout {
    std::vector<LaidWindow> windows;
    std::vector<LaidElement> elements;
    std::vector<LaidNode> nodes;
    // The alpha each visible window is drawn with, and the windows that blink.
    std::vector<std::pair<std::string, float>> alphas;
    std::vector<std::string> blinking;
    // The current camera's projection times view matrix, row by row.
    bool hasCamera = false;
    float viewProjection[16] = {};
    // False when the file is missing.
    bool Load(const std::filesystem::path& layout);
    const LaidWindow* Window(const std::string& name) const;
    const LaidElement* Element(const std::string& name) const;
    const LaidNode* Node(const std::string& name) const;
    // 1 when the file says nothing of the window.
    float Alpha(const std::string& name) const;
    // Where a world point lands in a width x height frame; false without a
    // camera or behind it.
    bool Project(float x, float y, float z, int width, int height, float& px, float& py) const;
};

// The layout file the test channel writes beside a screenshot.
std::filesystem::path LayoutOf(const std::filesystem::path& png);

// Overlay elements drawn with the 3D engine's yellow and black warning
// stripes (a texture unit that has no texture), by their material and by
// their pixels.
std::vector<std::string> StripeProblems(const Frame& frame, const FrameLayout& layout);
// Visible buttons whose label area shows one flat colour: no word, no sign.
// A plain "Btn..." window counts where an overlay element lies under it.
std::vector<std::string> EmptyButtonProblems(const Frame& frame, const FrameLayout& layout);
// Both checks above on a saved screenshot and its layout; a missing file is
// a problem too.
std::vector<std::string> FrameProblems(const std::filesystem::path& png);

// Visible windows and overlay elements that partly cover each other (one
// inside the other is meant; the free ones, by name prefix, may lie
// anywhere: markers and radar dots move over their gauges), and texts wider
// or taller than the area they are drawn in.
std::vector<std::string> LayoutProblems(const FrameLayout& layout, const std::vector<std::string>& free = {});

// The result of a throw as the frame shows it: the target ball and the
// ball just thrown (by node name) stand inside the picture, a ball's width
// from its edges, under no window or overlay element (but those in `free`
// and the ones that cover the whole frame), the target ball's orange shows
// where it lies, and its orange pointer stands above it tall enough to be seen.
std::vector<std::string> ResultViewProblems(const Frame& frame, const FrameLayout& layout,
                                            const std::string& thrownBall,
                                            const std::vector<std::string>& free = {});

// The aim at a ball: the target ball inside the picture, under no window,
// with its pointer above it, tall and orange (the ball itself, a pixel or two
// at the far end of the aim line, may hide under the line).
std::vector<std::string> AimViewProblems(const Frame& frame, const FrameLayout& layout,
                                         const std::vector<std::string>& free = {});

// The thrower's line among the player lines (the blinking one, else the one
// in the largest font):
// drawn no fainter than the others, its text clear of the line's end caps;
// the other lines all in one font size.
std::vector<std::string> ThrowerLineProblems(const FrameLayout& layout);

// Lines a picture draws that labels and 3D content must keep clear of: a
// menu's header and footer rules, the border of a window the 3D scene shows
// through. A line is the box of its whole thickness, in pixels.
// The four sides of a border `width` pixels thick inside `outer`.
std::vector<Box> BorderLines(const Box& outer, float width);
// Visible texts whose letters lie across one of the lines: the ink of the
// label (what differs from its area's commonest colour, the line's own
// pixels left out) reaches both sides of the line.
std::vector<std::string> LabelCrossingProblems(const Frame& frame, const FrameLayout& layout,
                                               const std::vector<Box>& lines);
// Places where something is drawn across a line: along its middle the line
// keeps one colour, and a run of 3 pixels or more of another colour is a
// label, a button or the 3D scene crossing it.
std::vector<std::string> BrokenLineProblems(const Frame& frame, const std::vector<Box>& lines,
                                            const std::string& what);

// The lines of a problem list, for a test's failure message.
std::string Describe(const std::vector<std::string>& problems);

}  // namespace e2e
