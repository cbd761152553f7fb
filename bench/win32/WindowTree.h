// A window tree as a text file, one window a line, parents before their
// children and siblings from the top of the z-order down (a new child
// window goes below its siblings, so creating them in this order gives
// the same order):
//   depth class base-class class-style style ex-style x y width height text
// separated by tabs; numbers in hexadecimal where they are bit sets, the
// text as hexadecimal bytes ("-" for none). The base class is the system
// class a window class of the program is made from ("-" when none); the
// position is in the parent's client area (on the screen for the top).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct TWindowRecord {
    int Depth = 0;
    std::string Class, Base;
    unsigned ClassStyle = 0, Style = 0, ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    std::string Text;
};

inline std::string HexOf(const std::string& text) {
    if (text.empty()) return "-";
    std::string out;
    char buf[3];
    for (unsigned char c : text) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

inline std::string TextOfHex(const char* hex) {
    std::string out;
    if (std::strcmp(hex, "-") == 0) return out;
    for (; hex[0] && hex[1]; hex += 2) {
        unsigned value = 0;
        std::sscanf(hex, "%2x", &value);
        out += static_cast<char>(value);
    }
    return out;
}

inline bool WriteWindowTree(const char* path, const std::vector<TWindowRecord>& tree) {
    FILE* f = std::fopen(path, "w");
    if (!f) return false;
    for (const TWindowRecord& r : tree)
        std::fprintf(f, "%d\t%s\t%s\t%x\t%x\t%x\t%d\t%d\t%d\t%d\t%s\n", r.Depth, r.Class.c_str(),
                     r.Base.empty() ? "-" : r.Base.c_str(), r.ClassStyle, r.Style, r.ExStyle, r.X, r.Y, r.Width,
                     r.Height, HexOf(r.Text).c_str());
    return std::fclose(f) == 0;
}

inline std::vector<TWindowRecord> ReadWindowTree(const char* path) {
    std::vector<TWindowRecord> tree;
    FILE* f = std::fopen(path, "r");
    if (!f) return tree;
    char line[4096];
    while (std::fgets(line, sizeof line, f)) {
        char cls[256], base[256], text[2048];
        TWindowRecord r;
        if (std::sscanf(line, "%d\t%255s\t%255s\t%x\t%x\t%x\t%d\t%d\t%d\t%d\t%2047s", &r.Depth, cls, base,
                        &r.ClassStyle, &r.Style, &r.ExStyle, &r.X, &r.Y, &r.Width, &r.Height, text) != 11)
            continue;
        r.Class = cls;
        if (std::strcmp(base, "-") != 0) r.Base = base;
        r.Text = TextOfHex(text);
        tree.push_back(r);
    }
    std::fclose(f);
    return tree;
}
