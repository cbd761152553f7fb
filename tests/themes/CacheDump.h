// The classic Windows colours as a cache environment, and a theme's colour
// cache written as lines of text ("Theme.Entry value") for the golden
// tables of the cache tests. Window-free: used natively and under Wine.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "themes/ThemeCaches.h"

namespace qelvo::test {

// The classic Windows colours for every COLOR_ index (0x00BBGGRR).
inline constexpr std::array<TColor, SysColorCount> ClassicSysColors{
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4,
    0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040,
    0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};

inline TCacheEnvironment ClassicEnvironment() {
    TCacheEnvironment env;
    env.SysColors = ClassicSysColors;
    return env;
}

// "clNone", "sys:N" for a system colour, else six hex digits BBGGRR.
inline std::string ColorText(TColor color) {
    char text[16];
    if (color == clNone) return "clNone";
    if ((static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u)
        std::snprintf(text, sizeof text, "sys:%u", static_cast<unsigned>(color) & 0xFFu);
    else
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(color));
    return text;
}

class TCacheDump {
public:
    explicit TCacheDump(std::string theme) : FTheme(std::move(theme)) {}

    void Line(const std::string& entry, TColor color) { FText += FTheme + "." + entry + " " + ColorText(color) + "\n"; }

    // The entries every cache holds, by name.
    void Base(const TThemeColorCache& c) {
        static const char* const Frames[] = {"Active", "Inactive"};
        static const char* const FrameParts[] = {"Border", "Caption", "CaptionText"};
        static const char* const MenuRows[] = {"Normal", "Disabled", "Hot", "DisabledHot"};
        static const char* const ButtonRows[] = {"Normal", "Disabled", "Checked", "Pushed",
                                                 "Hot", "DisabledHot", "CheckedHot", "PopupOpen"};
        static const char* const Parts[] = {"Body", "Text", "Frame"};
        Line("MenuBarBackground", c.MenuBarBackground);
        Line("ToolbarBackground", c.ToolbarBackground);
        Line("PopupBackground", c.PopupBackground);
        Line("DockPanelBackground", c.DockPanelBackground);
        Line("PopupBorderColor", c.PopupBorderColor);
        for (int r = 0; r < 2; ++r)
            for (int p = 0; p < 3; ++p) {
                Line(std::string("FloatingFrame.") + Frames[r] + "." + FrameParts[p], c.FloatingFrameColors[r][p]);
                Line(std::string("PanelFrame.") + Frames[r] + "." + FrameParts[p], c.PanelFrameColors[r][p]);
            }
        for (int r = 0; r < 4; ++r)
            for (int p = 0; p < 3; ++p) Line(std::string("Menu.") + MenuRows[r] + "." + Parts[p], c.MenuItemColorTable[r][p]);
        for (int r = 0; r < 8; ++r)
            for (int p = 0; p < 3; ++p) Line(std::string("Button.") + ButtonRows[r] + "." + Parts[p], c.ButtonColorTable[r][p]);
    }

    // A record made only of 32-bit colours, its entries named in order
    // (a derived cache's own entries after the common ones). False when
    // the names do not cover the record.
    template <class Record>
    bool Colors(const Record& record, const std::vector<std::string>& names, size_t skip = 0) {
        static_assert(sizeof(Record) % sizeof(TColor) == 0);
        const auto* entries = reinterpret_cast<const TColor*>(&record) + skip;
        if (names.size() + skip != sizeof(Record) / sizeof(TColor)) return false;
        for (size_t i = 0; i < names.size(); ++i) Line(names[i], entries[i]);
        return true;
    }
    template <class CacheRecord>
    bool Cache(const CacheRecord& cache, const std::vector<std::string>& own) {
        Base(cache);
        return Colors(cache, own, sizeof(TThemeColorCache) / sizeof(TColor));
    }

    const std::string& Text() const { return FText; }

private:
    std::string FTheme;
    std::string FText;
};

} // namespace qelvo::test
