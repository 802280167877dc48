#include "FrameChecks.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

// Rounding of the layout's float coordinates.
const float kSlack = 1.5f;
// Stripes: each of the two tones covers this share of the element, and this
// share of its rows holds both (the stripes run across).
const double kStripeShare = 0.12, kStripeRows = 0.5;
// A label area shows something when this share of it differs from its
// commonest colour by more than kInkStep (sum over the channels).
const double kInkShare = 0.02;
const int kInkStep = 50;
// The target ball's pointer is at least this tall on screen.
const float kPointerPixels = 10.0f;
// A player line's rounded end caps (the GUI look's button ends).
const float kLineCap = 12.0f;

bool IsBlack(const Rgb& c) { return std::max({c.r, c.g, c.b}) <= 16; }
// The warning texture's yellow, also as a red, green or white tint modulates it.
bool IsStripeTone(const Rgb& c) {
    const bool yellow = c.r >= 200 && c.g >= 200 && c.b <= 70;
    const bool red = c.r >= 200 && c.g <= 60 && c.b <= 60;
    const bool green = c.g >= 200 && c.r <= 60 && c.b <= 60;
    return yellow || red || green;
}

struct PixelBox {
    int x0, y0, x1, y1;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    int Area() const { return Empty() ? 0 : (x1 - x0) * (y1 - y0); }
};

PixelBox Inside(const Frame& frame, const Box& box) {
    PixelBox p{int(std::ceil(box.x0)), int(std::ceil(box.y0)), int(std::floor(box.x1)), int(std::floor(box.y1))};
    p.x0 = std::max(p.x0, 0);
    p.y0 = std::max(p.y0, 0);
    p.x1 = std::min(p.x1, frame.Width());
    p.y1 = std::min(p.y1, frame.Height());
    return p;
}

bool Contains(const Box& outer, const Box& inner) {
    return inner.x0 >= outer.x0 - kSlack && inner.y0 >= outer.y0 - kSlack && inner.x1 <= outer.x1 + kSlack &&
           inner.y1 <= outer.y1 + kSlack;
}

bool Overlap(const Box& a, const Box& b) {
    const float w = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
    const float h = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
    return w > kSlack && h > kSlack;
}

std::string Where(const Box& box) {
    std::ostringstream out;
    out << "(" << int(box.x0) << "," << int(box.y0) << ")-(" << int(box.x1) << "," << int(box.y1) << ")";
    return out.str();
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

float Number(const std::string& text) { return std::strtof(text.c_str(), nullptr); }

bool IsFree(const std::string& name, const std::vector<std::string>& free) {
    for (const std::string& prefix : free)
        if (name.compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

bool PictureUnder(const FrameLayout& layout, const Box& area) {
    const float x = (area.x0 + area.x1) / 2, y = (area.y0 + area.y1) / 2;
    for (const LaidElement& e : layout.elements)
        if (x > e.area.x0 && x < e.area.x1 && y > e.area.y0 && y < e.area.y1)
            return true;
    return false;
}

}  // namespace

bool Frame::Load(const std::filesystem::path& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    mRgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, mRgb.data(), 0, nullptr)) {
        png_image_free(&image);
        mRgb.clear();
        return false;
    }
    mWidth = int(image.width);
    mHeight = int(image.height);
    return true;
}

Rgb Frame::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return {};
    const size_t i = (size_t(y) * size_t(mWidth) + size_t(x)) * 3;
    return {mRgb[i], mRgb[i + 1], mRgb[i + 2]};
}

Rgb Frame::Mean(const Box& box) const {
    const PixelBox p = Inside(*this, box);
    if (p.Empty())
        return {};
    long r = 0, g = 0, b = 0;
    for (int y = p.y0; y < p.y1; ++y)
        for (int x = p.x0; x < p.x1; ++x) {
            const Rgb c = At(x, y);
            r += c.r;
            g += c.g;
            b += c.b;
        }
    const long n = p.Area();
    return {int(r / n), int(g / n), int(b / n)};
}

bool FrameLayout::Load(const std::filesystem::path& layout) {
    std::ifstream in(layout);
    if (!in)
        return false;
    windows.clear();
    elements.clear();
    nodes.clear();
    alphas.clear();
    blinking.clear();
    hasCamera = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Split(line);
        if (f[0] == "window" && f.size() >= 18) {
            LaidWindow w;
            w.name = f[1];
            w.type = f[2];
            w.parent = f[3];
            w.area = {Number(f[4]), Number(f[5]), Number(f[6]), Number(f[7])};
            w.textArea = {Number(f[8]), Number(f[9]), Number(f[10]), Number(f[11])};
            w.font = f[12];
            w.textWidth = Number(f[13]);
            w.fontHeight = Number(f[14]);
            w.wraps = f[15] == "1";
            w.disabled = f[16] == "1";
            w.text = f[17];
            windows.push_back(w);
        } else if (f[0] == "overlay" && f.size() >= 12) {
            LaidElement e;
            e.overlay = f[1];
            e.zOrder = int(Number(f[2]));
            e.name = f[3];
            e.parent = f[4];
            e.area = {Number(f[5]), Number(f[6]), Number(f[7]), Number(f[8])};
            e.material = f[9];
            e.untextured = f[10] == "1";
            e.caption = f[11];
            elements.push_back(e);
        } else if (f[0] == "blink" && f.size() >= 2) {
            blinking.push_back(f[1]);
        } else if (f[0] == "alpha" && f.size() >= 3) {
            alphas.emplace_back(f[1], Number(f[2]));
        } else if (f[0] == "camera" && f.size() >= 17) {
            hasCamera = true;
            for (int i = 0; i < 16; ++i)
                viewProjection[i] = Number(f[size_t(i) + 1]);
        } else if (f[0] == "node" && f.size() >= 7) {
            LaidNode n;
            n.name = f[1];
            n.visible = f[2] == "1";
            n.x = Number(f[3]);
            n.y = Number(f[4]);
            n.z = Number(f[5]);
            n.scale = Number(f[6]);
            nodes.push_back(n);
        }
    }
    return true;
}

const LaidWindow* FrameLayout::Window(const std::string& name) const {
    for (const LaidWindow& w : windows)
        if (w.name == name)
            return &w;
    return nullptr;
}

const LaidElement* FrameLayout::Element(const std::string& name) const {
    for (const LaidElement& e : elements)
        if (e.name == name)
            return &e;
    return nullptr;
}

const LaidNode* FrameLayout::Node(const std::string& name) const {
    for (const LaidNode& n : nodes)
        if (n.name == name)
            return &n;
    return nullptr;
}

float FrameLayout::Alpha(const std::string& name) const {
    for (const auto& a : alphas)
        if (a.first == name)
            return a.second;
    return 1.0f;
}

bool FrameLayout::Project(float x, float y, float z, int width, int height, float& px, float& py) const {
    if (!hasCamera)
        return false;
    const float* m = viewProjection;
    const float cx = m[0] * x + m[1] * y + m[2] * z + m[3];
    const float cy = m[4] * x + m[5] * y + m[6] * z + m[7];
    const float cw = m[12] * x + m[13] * y + m[14] * z + m[15];
    if (!(cw > 1e-4f))
        return false;
    px = (cx / cw * 0.5f + 0.5f) * float(width);
    py = (0.5f - cy / cw * 0.5f) * float(height);
    return true;
}

std::filesystem::path LayoutOf(const std::filesystem::path& png) { return png.string() + ".layout"; }

std::vector<std::string> StripeProblems(const Frame& frame, const FrameLayout& layout) {
    std::vector<std::string> problems;
    for (const LaidElement& e : layout.elements) {
        if (e.untextured) {
            problems.push_back(e.name + " (" + e.material + ") draws from a texture unit without a texture");
            continue;
        }
        const PixelBox p = Inside(frame, e.area);
        if (p.x1 - p.x0 < 4 || p.y1 - p.y0 < 2)
            continue;
        long black = 0, tone = 0;
        int rows = 0, mixedRows = 0, shifted = 0;
        const int width = p.x1 - p.x0;
        std::vector<int> last;
        for (int y = p.y0; y < p.y1; ++y) {
            int rowBlack = 0, rowTone = 0;
            // Where the row turns from one tone to the other.
            std::vector<int> turns;
            int previous = 0;
            for (int x = p.x0; x < p.x1; ++x) {
                const Rgb c = frame.At(x, y);
                const int kind = IsBlack(c) ? 1 : IsStripeTone(c) ? 2 : 0;
                rowBlack += kind == 1;
                rowTone += kind == 2;
                if (kind && previous && kind != previous)
                    turns.push_back(x);
                if (kind)
                    previous = kind;
            }
            black += rowBlack;
            tone += rowTone;
            ++rows;
            if (rowBlack >= width * 0.1 && rowTone >= width * 0.1) {
                ++mixedRows;
                // Stripes run slanted: their turns move from row to row.
                if (!last.empty() && turns != last)
                    ++shifted;
                last = turns;
            }
        }
        const double area = double(p.Area());
        if (black >= area * kStripeShare && tone >= area * kStripeShare && mixedRows >= rows * kStripeRows &&
            shifted * 4 >= mixedRows && shifted > 0)
            problems.push_back(e.name + " at " + Where(e.area) + " shows black and yellow stripes");
    }
    return problems;
}

std::vector<std::string> EmptyButtonProblems(const Frame& frame, const FrameLayout& layout) {
    std::vector<std::string> problems;
    for (const LaidWindow& w : layout.windows) {
        if (!w.IsButton() || w.area.Width() < 8 || w.area.Height() < 8)
            continue;
        // A plain window is a button only over the picture that shows it:
        // over nothing it shows nothing at all.
        if (w.type == "DefaultWindow" && !PictureUnder(layout, w.area))
            continue;
        // A button's word or sign sits in its middle; its edges may be a plain frame.
        const float mx = w.area.Width() * 0.15f, my = w.area.Height() * 0.15f;
        const PixelBox p = Inside(frame, {w.area.x0 + mx, w.area.y0 + my, w.area.x1 - mx, w.area.y1 - my});
        if (p.Area() < 16)
            continue;
        // The commonest colour, in coarse steps.
        std::vector<int> counts(4096, 0);
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x) {
                const Rgb c = frame.At(x, y);
                ++counts[(c.r >> 4) << 8 | (c.g >> 4) << 4 | (c.b >> 4)];
            }
        const int common = int(std::max_element(counts.begin(), counts.end()) - counts.begin());
        const Rgb ground{((common >> 8) & 15) * 16 + 8, ((common >> 4) & 15) * 16 + 8, (common & 15) * 16 + 8};
        long ink = 0;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x) {
                const Rgb c = frame.At(x, y);
                if (std::abs(c.r - ground.r) + std::abs(c.g - ground.g) + std::abs(c.b - ground.b) > kInkStep)
                    ++ink;
            }
        if (ink < std::max(6.0, p.Area() * kInkShare))
            problems.push_back("button " + w.name + " at " + Where(w.area) + " shows no word or sign");
    }
    return problems;
}

std::vector<std::string> FrameProblems(const std::filesystem::path& png) {
    Frame frame;
    if (!frame.Load(png))
        return {png.string() + " is missing or not a PNG"};
    FrameLayout layout;
    if (!layout.Load(LayoutOf(png)))
        return {LayoutOf(png).string() + " is missing"};
    std::vector<std::string> problems = StripeProblems(frame, layout);
    for (std::string& problem : EmptyButtonProblems(frame, layout))
        problems.push_back(std::move(problem));
    for (std::string& problem : problems)
        problem = png.filename().string() + ": " + problem;
    return problems;
}

std::vector<std::string> LayoutProblems(const FrameLayout& layout, const std::vector<std::string>& free) {
    struct Item {
        std::string name;
        Box area;
    };
    std::vector<Item> items;
    std::vector<std::string> problems;
    for (const LaidWindow& w : layout.windows) {
        // A plain window draws nothing of its own: only its children count.
        if (w.type == "DefaultWindow" || w.area.Width() <= kSlack || w.area.Height() <= kSlack)
            continue;
        if (!IsFree(w.name, free))
            items.push_back({w.name, w.area});
        const bool hasText = w.text.find_first_not_of(' ') != std::string::npos;
        if (!hasText)
            continue;
        if (w.textWidth > w.textArea.Width() + kSlack)
            problems.push_back("text of " + w.name + " (\"" + w.text + "\", " + w.font + ") is " +
                               std::to_string(int(w.textWidth)) + " px wide in " +
                               std::to_string(int(w.textArea.Width())) + " px");
        if (!w.wraps && w.fontHeight > w.textArea.Height() + kSlack)
            problems.push_back("text of " + w.name + " (\"" + w.text + "\", " + w.font + ") is " +
                               std::to_string(int(w.fontHeight)) + " px high in " +
                               std::to_string(int(w.textArea.Height())) + " px");
    }
    for (const LaidElement& e : layout.elements)
        if (e.area.Width() > kSlack && e.area.Height() > kSlack && !IsFree(e.name, free))
            items.push_back({e.name, e.area});
    for (size_t i = 0; i < items.size(); ++i)
        for (size_t j = i + 1; j < items.size(); ++j) {
            const Item& a = items[i];
            const Item& b = items[j];
            if (Overlap(a.area, b.area) && !Contains(a.area, b.area) && !Contains(b.area, a.area))
                problems.push_back(a.name + " " + Where(a.area) + " and " + b.name + " " + Where(b.area) +
                                   " overlap");
        }
    return problems;
}

namespace {

// A point's place on the frame and the pixel radius of a sphere of `radius`
// there, from two projections.
bool ProjectSphere(const Frame& frame, const FrameLayout& layout, const LaidNode& n, float radius, float& x, float& y,
                   float& r) {
    float ux = 0, uy = 0;
    if (!layout.Project(n.x, n.y, n.z, frame.Width(), frame.Height(), x, y) ||
        !layout.Project(n.x, n.y + radius, n.z, frame.Width(), frame.Height(), ux, uy))
        return false;
    r = std::max(1.0f, std::hypot(ux - x, uy - y));
    return true;
}

std::string WhereIs(float x, float y) {
    std::ostringstream out;
    out << "(" << int(x) << "," << int(y) << ")";
    return out.str();
}

// The window or element drawn over a point, if any; the ones that cover the
// whole frame (the GUI sheet, a full-screen container) and plain windows draw
// nothing there.
std::string CoverAt(const Frame& frame, const FrameLayout& layout, float x, float y,
                    const std::vector<std::string>& free) {
    const float whole = float(frame.Width()) * float(frame.Height()) * 0.9f;
    auto over = [&](const Box& b) { return x > b.x0 && x < b.x1 && y > b.y0 && y < b.y1; };
    for (const LaidWindow& w : layout.windows)
        if (w.type != "DefaultWindow" && w.area.Width() * w.area.Height() < whole && over(w.area) &&
            !IsFree(w.name, free))
            return w.name;
    for (const LaidElement& e : layout.elements)
        if (e.area.Width() * e.area.Height() < whole && over(e.area) && !IsFree(e.name, free))
            return e.name;
    return std::string();
}

bool IsTargetOrange(const Rgb& c) { return c.r >= c.g + 40 && c.r >= c.b + 70 && c.r >= 90; }

}  // namespace

namespace {

// The target ball and the balls named inside the picture and clear of the
// frames, the target ball's orange seen where it lies when asked, its pointer
// above it, tall and orange.
std::vector<std::string> TargetViewProblems(const Frame& frame, const FrameLayout& layout,
                                            const std::vector<std::string>& balls, bool targetShows,
                                            const std::vector<std::string>& free) {
    std::vector<std::string> problems;
    if (!layout.hasCamera)
        return {"the layout holds no camera"};
    for (const std::string& name : balls) {
        const LaidNode* n = layout.Node(name);
        if (!n) {
            problems.push_back(name + " is not in the layout");
            continue;
        }
        float x = 0, y = 0, r = 0;
        if (!ProjectSphere(frame, layout, *n, n->scale, x, y, r)) {
            problems.push_back(name + " is behind the view");
            continue;
        }
        if (!n->visible)
            problems.push_back(name + " is hidden");
        if (x - r < 0 || y - r < 0 || x + r > frame.Width() || y + r > frame.Height()) {
            problems.push_back(name + " at " + WhereIs(x, y) + " is not inside the picture");
            continue;
        }
        const std::string cover = CoverAt(frame, layout, x, y, free);
        if (!cover.empty())
            problems.push_back(name + " at " + WhereIs(x, y) + " lies under " + cover);
        if (name == "cochonnet" && targetShows) {
            int orange = 0;
            const int reach = int(std::ceil(r)) + 1;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx)
                    orange += IsTargetOrange(frame.At(int(x) + dx, int(y) + dy));
            if (orange == 0)
                problems.push_back("the target ball at " + WhereIs(x, y) + " does not show");
        }
    }
    // The pointer above the target ball: a mark a player sees at once.
    const LaidNode* pointer = layout.Node("pointeur cochonnet");
    const LaidNode* target = layout.Node("cochonnet");
    float top = 0, topY = 0, bottom = 0, bottomY = 0;
    if (!pointer || !pointer->visible) {
        problems.push_back("the target ball's pointer is hidden");
    } else if (target &&
               layout.Project(pointer->x, pointer->y + pointer->scale * 0.5f, pointer->z, frame.Width(),
                              frame.Height(), top, topY) &&
               layout.Project(pointer->x, pointer->y - pointer->scale * 0.5f, pointer->z, frame.Width(),
                              frame.Height(), bottom, bottomY)) {
        if (bottomY - topY < kPointerPixels)
            problems.push_back("the target ball's pointer is " + std::to_string(int(bottomY - topY)) + " px tall");
        if (pointer->y - pointer->scale * 0.5f < target->y + target->scale)
            problems.push_back("the target ball's pointer goes through the ball");
        int orange = 0;
        const int x = int((top + bottom) / 2);
        for (int y = int(topY); y <= int(bottomY); ++y)
            for (int dx = -2; dx <= 2; ++dx)
                orange += IsTargetOrange(frame.At(x + dx, y));
        if (orange < 3)
            problems.push_back("the target ball's pointer at " + WhereIs(float(x), topY) + " does not show");
    }
    return problems;
}

}  // namespace

std::vector<std::string> ResultViewProblems(const Frame& frame, const FrameLayout& layout,
                                            const std::string& thrownBall, const std::vector<std::string>& free) {
    return TargetViewProblems(frame, layout, {"cochonnet", thrownBall}, true, free);
}

std::vector<std::string> AimViewProblems(const Frame& frame, const FrameLayout& layout,
                                         const std::vector<std::string>& free) {
    return TargetViewProblems(frame, layout, {"cochonnet"}, false, free);
}

std::vector<std::string> ThrowerLineProblems(const FrameLayout& layout) {
    std::vector<const LaidWindow*> lines;
    for (const char* name : {"infosP1", "infosP2", "infosP3"})
        if (const LaidWindow* w = layout.Window(name))
            if (w->text.find_first_not_of(' ') != std::string::npos)
                lines.push_back(w);
    if (lines.size() < 2)
        return {};
    const LaidWindow* thrower = lines[0];
    for (const LaidWindow* w : lines)
        if (w->fontHeight > thrower->fontHeight)
            thrower = w;
    for (const LaidWindow* w : lines)
        if (std::find(layout.blinking.begin(), layout.blinking.end(), w->name) != layout.blinking.end())
            thrower = w;
    std::vector<std::string> problems;
    const float alpha = layout.Alpha(thrower->name);
    const LaidWindow* other = lines[0] == thrower ? lines[1] : lines[0];
    for (const LaidWindow* w : lines) {
        if (w == thrower)
            continue;
        if (layout.Alpha(w->name) > alpha + 0.01f)
            problems.push_back("the thrower's line " + thrower->name + " (alpha " + std::to_string(alpha) +
                               ") is fainter than " + w->name + " (alpha " + std::to_string(layout.Alpha(w->name)) +
                               ")");
        if (w->fontHeight != other->fontHeight)
            problems.push_back(w->name + " (" + w->font + ") is not in the other lines' font");
    }
    if (thrower->textWidth > thrower->area.Width() - 2 * kLineCap)
        problems.push_back("the thrower's line " + thrower->name + " (\"" + thrower->text + "\", " + thrower->font +
                           ") runs over its end caps: " + std::to_string(int(thrower->textWidth)) + " px in " +
                           std::to_string(int(thrower->area.Width() - 2 * kLineCap)) + " px");
    return problems;
}

std::vector<Box> BorderLines(const Box& outer, float width) {
    return {{outer.x0, outer.y0, outer.x1, outer.y0 + width},
            {outer.x0, outer.y1 - width, outer.x1, outer.y1},
            {outer.x0, outer.y0, outer.x0 + width, outer.y1},
            {outer.x1 - width, outer.y0, outer.x1, outer.y1}};
}

namespace {

bool OnLine(const std::vector<Box>& lines, int x, int y) {
    for (const Box& l : lines)
        if (x + 1 > l.x0 && x < l.x1 && y + 1 > l.y0 && y < l.y1)
            return true;
    return false;
}

int Distance(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// The commonest colour of the pixels `take` accepts, in coarse steps.
template <typename Take>
Rgb Commonest(const Frame& frame, const PixelBox& p, Take take) {
    std::vector<int> counts(4096, 0);
    for (int y = p.y0; y < p.y1; ++y)
        for (int x = p.x0; x < p.x1; ++x)
            if (take(x, y)) {
                const Rgb c = frame.At(x, y);
                ++counts[(c.r >> 4) << 8 | (c.g >> 4) << 4 | (c.b >> 4)];
            }
    const int common = int(std::max_element(counts.begin(), counts.end()) - counts.begin());
    return {((common >> 8) & 15) * 16 + 8, ((common >> 4) & 15) * 16 + 8, (common & 15) * 16 + 8};
}

}  // namespace

std::vector<std::string> LabelCrossingProblems(const Frame& frame, const FrameLayout& layout,
                                               const std::vector<Box>& lines) {
    std::vector<std::string> problems;
    for (const LaidWindow& w : layout.windows) {
        if (w.text.find_first_not_of(' ') == std::string::npos)
            continue;
        const PixelBox p = Inside(frame, w.textArea);
        if (p.Area() < 16)
            continue;
        auto free = [&](int x, int y) { return !OnLine(lines, x, y); };
        const Rgb ground = Commonest(frame, p, free);
        // The box of the label's ink.
        PixelBox ink{p.x1, p.y1, p.x0, p.y0};
        int inked = 0;
        for (int y = p.y0; y < p.y1; ++y)
            for (int x = p.x0; x < p.x1; ++x)
                if (free(x, y) && Distance(frame.At(x, y), ground) > kInkStep) {
                    ++inked;
                    ink = {std::min(ink.x0, x), std::min(ink.y0, y), std::max(ink.x1, x + 1), std::max(ink.y1, y + 1)};
                }
        if (inked < 6)
            continue;
        const Box letters{float(ink.x0), float(ink.y0), float(ink.x1), float(ink.y1)};
        for (const Box& l : lines) {
            const bool across = l.Width() >= l.Height()
                                    ? letters.y0 < l.y0 - 1 && letters.y1 > l.y1 + 1 && letters.x1 > l.x0 && letters.x0 < l.x1
                                    : letters.x0 < l.x0 - 1 && letters.x1 > l.x1 + 1 && letters.y1 > l.y0 && letters.y0 < l.y1;
            if (across) {
                problems.push_back("label " + w.name + " (\"" + w.text + "\") at " + Where(letters) +
                                   " lies across the line at " + Where(l));
                break;
            }
        }
    }
    return problems;
}

std::vector<std::string> BrokenLineProblems(const Frame& frame, const std::vector<Box>& lines,
                                            const std::string& what) {
    std::vector<std::string> problems;
    for (const Box& l : lines) {
        const PixelBox p = Inside(frame, l);
        if (p.Empty())
            continue;
        const bool across = l.Width() >= l.Height();
        const int fixed = across ? (p.y0 + p.y1 - 1) / 2 : (p.x0 + p.x1 - 1) / 2;
        const PixelBox middle = across ? PixelBox{p.x0, fixed, p.x1, fixed + 1} : PixelBox{fixed, p.y0, fixed + 1, p.y1};
        const Rgb colour = Commonest(frame, middle, [](int, int) { return true; });
        const int from = across ? p.x0 : p.y0, to = across ? p.x1 : p.y1;
        int run = 0;
        for (int i = from; i <= to; ++i) {
            const bool other = i < to && Distance(across ? frame.At(i, fixed) : frame.At(fixed, i), colour) > kInkStep;
            if (other) {
                ++run;
                continue;
            }
            if (run >= 3) {
                const float a = float(i - run), b = float(i);
                const Box at = across ? Box{a, float(fixed), b, float(fixed + 1)} : Box{float(fixed), a, float(fixed + 1), b};
                problems.push_back("something is drawn across " + what + " at " + Where(at));
            }
            run = 0;
        }
    }
    return problems;
}

std::string Describe(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

}  // namespace e2e
