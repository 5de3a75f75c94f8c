#pragma once
// Where the tester window's elements sit, in twips, held in single precision.

namespace tester {

struct TwipsRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

struct TesterLayout
{
    TwipsRect command; // the command list
    TwipsRect send;
    TwipsRect log;
    TwipsRect progress;
    TwipsRect cancel;
};

// The elements as the window is designed, before its first resize.
TesterLayout DesignLayout();

// Lays the elements out for a client area of `width` by `height` twips. Sizes whose
// condition fails (a very small or minimized window) keep their old value, so nothing
// turns negative.
void FormResize(TesterLayout &layout, float width, float height);

// The client area the window opens with.
inline constexpr float DesignClientWidth = 10215.0f;
inline constexpr float DesignClientHeight = 7290.0f;
// The status bar: its height, and the panel widths.
inline constexpr float StatusBarHeight = 375.0f;
inline constexpr float StatusPanelWidth = 1440.0f;

} // namespace tester
