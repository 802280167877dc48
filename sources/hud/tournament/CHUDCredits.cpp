#include "CHUDCredits.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <HalTimer.h>
#include <KEMStringUtils.h>
#include <Platform.h>

#include <CEGUI/Colour.h>
#include <CEGUI/ColourRect.h>
#include <CEGUI/PropertyHelper.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>

#include <algorithm>

const char CHUDCredits::kTable[] = "../../mediaDemo/Data/Credits_DB.csv";
const char CHUDCredits::kLayout[] = "credits.layout";
const char CHUDCredits::kWindowPrefix[] = "creditsText";

namespace {
const char kLineType[] = "Tavirelo_GUI/StaticText";
const uint32_t kBlue = 0xFF10326Cu;
const uint32_t kBlack = 0xFF000000u;

struct LineStyle {
    const char* font;
    uint32_t colour;
    float advance;   // screen heights before the line
    long long scale; // the window number is the row times this
};
const LineStyle kStyles[3] = {
    {"Dewsbury-60", kBlue, 0.2f, 1},
    {"Dewsbury-10", kBlue, 0.125f, 100},
    {"lucida-10", kBlack, 0.075f, 100000},
};
}  // namespace

CHUDCredits::CHUDCredits(const std::string& table) {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CHUDCredits => layout \"%s\" missing: no credits to roll", kLayout);
    CHUDMgr::ShowLoadingScreen(false);
    gGUIMgr.HideOverlay();
    gGUIMgr.ShowOverlay("CHUDCredits");

    float y = kStartY;
    const TextTable rows = ReadTextTable(table);
    if (rows.empty())
        PlatLog("CHUDCredits => table \"%s\" missing or empty: the credits roll blank", table.c_str());
    for (size_t r = 1; r < rows.size(); ++r) {
        const TextTableRow& row = rows[r];
        const int number = static_cast<int>(r);
        switch (row.size()) {
        case 3:
            AddLine(STYLE_TITLE, number, row[0], y);
            AddLine(STYLE_HEADING, number, row[1], y);
            AddLine(STYLE_NAME, number, row[2], y);
            break;
        case 2:
            AddLine(STYLE_HEADING, number, row[0], y);
            AddLine(STYLE_NAME, number, row[1], y);
            break;
        case 1:
            AddLine(STYLE_NAME, number, row[0], y);
            break;
        default:
            break;
        }
    }
    mEndThreshold = kEndThreshold;
    mLastLinePosition = y;
    mScrollStep = 0.0f;
    if (CEGUI::Window* root = gGUIMgr.GetWindow("Root"))
        root->subscribeEvent(CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&CHUDCredits::OnClicked, this));
}

CHUDCredits::~CHUDCredits() {
    gGUIMgr.DestroyAllWindows();
    ClearLines();
}

void CHUDCredits::ClearLines() {
    mLines.clear();
    mNames.clear();
}

std::string CHUDCredits::UniqueName(long long number) {
    std::string name = kWindowPrefix + std::to_string(number);
    if (std::find(mNames.begin(), mNames.end(), name) != mNames.end())
        name += "_" + std::to_string(mNames.size());
    mNames.push_back(name);
    return name;
}

void CHUDCredits::AddLine(Style style, int row, const std::string& text, float& y) {
    const LineStyle& look = kStyles[style];
    y += look.advance;
    CEGUI::Window* root = gGUIMgr.GetWindow("Root");
    if (!root)
        return;
    CEGUI::Window* line =
        CEGUI::WindowManager::getSingleton().createWindow(kLineType, UniqueName(row * look.scale));
    line->setProperty("HorzFormatting", "WordWrapCentreAligned");
    line->setProperty("FrameEnabled", "false");
    line->setProperty("BackgroundEnabled", "false");
    line->setText(text);
    line->setMaxSize(CEGUI::USize(CEGUI::UDim(1.0f, 0.0f), CEGUI::UDim(1.0f, 0.0f)));
    line->setPosition(CEGUI::UVector2(CEGUI::UDim(0.0f, 0.0f), CEGUI::UDim(y, 0.0f)));
    line->setSize(CEGUI::USize(CEGUI::UDim(1.0f, 0.0f), CEGUI::UDim(0.2f, 0.0f)));
    line->setInheritsAlpha(false);
    line->setAlpha(1.0f);
    line->setProperty("TextColours", CEGUI::PropertyHelper<CEGUI::ColourRect>::toString(
                                         CEGUI::ColourRect(CEGUI::Colour(look.colour))));
    line->setAlwaysOnTop(true);
    // A click on a line is a click on the screen.
    line->setMousePassThroughEnabled(true);
    line->setVisible(true);
    line->setFont(look.font);
    // Set up before it joins the root: a window made topmost under a parent
    // tells every sibling of the change, which grows with the table.
    root->addChild(line);
    mLines.push_back(line);
}

void CHUDCredits::Update() {
    if (mFinished)
        return;
    if (mFirstFrame) {
        // The time spent building the screen must not jump the roll.
        mFirstFrame = false;
        mScrollStep = 0.0f;
    } else {
        mScrollStep = -static_cast<float>(static_cast<int>(gTimer.GetDeltaMs())) * kSpeed;
    }
    for (CEGUI::Window* line : mLines) {
        const CEGUI::UVector2 position = line->getPosition();
        line->setPosition(CEGUI::UVector2(position.d_x, CEGUI::UDim(position.d_y.d_scale + mScrollStep, 0.0f)));
    }
    mLastLinePosition += mScrollStep;
    if (mLastLinePosition <= mEndThreshold)
        mFinished = true;
}

bool CHUDCredits::OnClicked(const CEGUI::EventArgs&) {
    mFinished = true;
    return true;
}
