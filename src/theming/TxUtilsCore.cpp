// Colour arithmetic, pixel rules, gradient tables, brushed noise and shadow
// geometry of the theming toolkit; nothing here touches a window or a DC.
#include "theming/TxUtilsCore.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Maths.h"

namespace qelvo {

namespace {

constexpr const char* UnitName = "TxUtils";

inline int Clamp(int v, int lo, int hi) noexcept { return v < lo ? lo : (v > hi ? hi : v); }

} // namespace

// ---- Colour arithmetic --------------------------------------------------------

TColor BlendColor(TColor c1, TColor c2, int w) {
    gcl::Assert(w >= 0 && w < 256, "Blend weight out of range", UnitName);
    const uint32_t a = static_cast<uint32_t>(ResolveColor(c1));
    const uint32_t b = static_cast<uint32_t>(ResolveColor(c2));
    const uint32_t wa = static_cast<uint32_t>(w), wb = 255 - wa;
    // Red and blue together, then green: each product stays below 16 bits.
    const uint32_t rb = (((a & 0xFF00FF) * wa + (b & 0xFF00FF) * wb) >> 8) & 0xFF00FF;
    const uint32_t g = (((a & 0xFF00) * wa + (b & 0xFF00) * wb) >> 8) & 0xFF00;
    return static_cast<TColor>(rb | g);
}

TColor ShiftColor(TColor c, int delta) {
    const TColor v = ResolveColor(c);
    return RGBColor(Clamp(static_cast<int>(RValue(v)) + delta, 0, 255),
                    Clamp(static_cast<int>(GValue(v)) + delta, 0, 255),
                    Clamp(static_cast<int>(BValue(v)) + delta, 0, 255));
}

namespace {
inline int WeightedSum(TColor v) noexcept {
    return static_cast<int>(RValue(v) * 76 + GValue(v) * 150 + BValue(v) * 30);
}
} // namespace

int ColorIntensity(TColor c) { return WeightedSum(ResolveColor(c)) >> 8; }

bool IsDarkColor(TColor c, int threshold) { return WeightedSum(ResolveColor(c)) < threshold * 256; }

TColor MixColors(TColor c1, TColor c2, int w) {
    const TColor a = ResolveColor(c1), b = ResolveColor(c2);
    const int scale = w < 100 ? 100 : 1000;
    auto mix = [&](uint32_t x, uint32_t y) {
        return static_cast<uint32_t>((static_cast<int>(x) * w + static_cast<int>(y) * (scale - w) + scale / 2) /
                                     scale) & 0xFF;
    };
    return RGBColor(mix(RValue(a), RValue(b)), mix(GValue(a), GValue(b)), mix(BValue(a), BValue(b)));
}

namespace {

// The weighted colour space of AdjustContrast: red, green and blue span
// 0..195, 0..390 and 0..65.
constexpr double Weights[3] = {195.0 / 255.0, 390.0 / 255.0, 65.0 / 255.0};
constexpr double Maxima[3] = {195.0, 390.0, 65.0};
constexpr double WhiteDistance = 442.0;

struct TVec {
    double V[3];
};

TVec ToWeighted(TColor c) {
    return {{RValue(c) * Weights[0], GValue(c) * Weights[1], BValue(c) * Weights[2]}};
}
double Length(const TVec& v) { return std::sqrt(v.V[0] * v.V[0] + v.V[1] * v.V[1] + v.V[2] * v.V[2]); }
double Distance(const TVec& a, const TVec& b) {
    return Length(TVec{{a.V[0] - b.V[0], a.V[1] - b.V[1], a.V[2] - b.V[2]}});
}
TVec Mirror(const TVec& v) { return {{Maxima[0] - v.V[0], Maxima[1] - v.V[1], Maxima[2] - v.V[2]}}; }

} // namespace

void AdjustContrast(TColor& c, TColor background, int contrast) {
    const TColor rc = ResolveColor(c), rb = ResolveColor(background);
    TVec cv = ToWeighted(rc), bv = ToWeighted(rb);
    const double l = Length(bv);
    double d = contrast;
    if (l < 220.0) d = (2.0 - l / 220.0) * contrast;
    if (Distance(cv, bv) > d) return;

    bool lighter;
    if (Length(cv) <= l)
        lighter = l < d;
    else
        lighter = !(l >= WhiteDistance - d);
    if (lighter) {
        cv = Mirror(cv);
        bv = Mirror(bv);
    }
    double len = Length(cv);
    if (len < 0.01) len = 0.01;
    const double t = (cv.V[0] * bv.V[0] + cv.V[1] * bv.V[1] + cv.V[2] * bv.V[2]) / len;
    const double bl = Length(bv);
    const double h2 = std::max(0.0, bl * bl - t * t);
    const double k = (t - std::sqrt(std::max(0.0, d * d - h2))) / len;
    TVec out{{cv.V[0] * k, cv.V[1] * k, cv.V[2] * k}};
    if (lighter) out = Mirror(out);
    uint32_t ch[3];
    for (int i = 0; i < 3; ++i) {
        const double v = std::clamp(out.V[i], 0.0, Maxima[i]) / Weights[i];
        ch[i] = static_cast<uint32_t>(Clamp(static_cast<int>(std::floor(v + 0.5)), 0, 255));
    }
    c = RGBColor(ch[0], ch[1], ch[2]);
}

void ColorToHSL(TColor c, double& h, double& s, double& l) {
    const TColor v = ResolveColor(c);
    const double r = RValue(v) / 255.0, g = GValue(v) / 255.0, b = BValue(v) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = 0;
        s = 0;
        return;
    }
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
}

namespace {
double HueToChannel(double m1, double m2, double h) {
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    if (6 * h < 1) return m1 + (m2 - m1) * h * 6;
    if (2 * h < 1) return m2;
    if (3 * h < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
    return m1;
}
uint32_t ToChannel(double v) { return static_cast<uint32_t>(Clamp(gcl::Round(255 * v), 0, 255)); }
} // namespace

TColor HSLToColor(double h, double s, double l) {
    if (s == 0) {
        const uint32_t grey = ToChannel(l);
        return RGBColor(grey, grey, grey);
    }
    const double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return RGBColor(ToChannel(HueToChannel(m1, m2, h + 1.0 / 3.0)), ToChannel(HueToChannel(m1, m2, h)),
                    ToChannel(HueToChannel(m1, m2, h - 1.0 / 3.0)));
}

uint32_t SwapRB(TColor c) {
    const TColor v = ResolveColor(c);
    return 0xFF000000u | (RValue(v) << 16) | (GValue(v) << 8) | BValue(v);
}

// ---- Per-pixel rules ------------------------------------------------------------

TColor BlendPixelValue(TColor old, TColor color, int alpha) {
    const uint32_t a = static_cast<uint32_t>(alpha + (alpha >= 128 ? 1 : 0));
    auto ch = [a](uint32_t c, uint32_t o) { return (c * a + o * (256 - a) + 0x7F) >> 8; };
    return RGBColor(ch(RValue(color), RValue(old)), ch(GValue(color), GValue(old)), ch(BValue(color), BValue(old)));
}

namespace {
inline uint32_t Px(uint32_t r, uint32_t g, uint32_t b) noexcept { return (r << 16) | (g << 8) | b; }
inline uint32_t PR(uint32_t p) noexcept { return (p >> 16) & 0xFF; }
inline uint32_t PG(uint32_t p) noexcept { return (p >> 8) & 0xFF; }
inline uint32_t PB(uint32_t p) noexcept { return p & 0xFF; }
} // namespace

uint32_t BrightenedPixel(uint32_t image) {
    const uint32_t lum = PixelLum(image);
    uint32_t p = image & 0xFFFFFF;
    if (lum > 64768)
        p = 0;
    else if (lum < 25600)
        p = 0xFFFFFF;
    auto up = [](uint32_t c) { return std::min<uint32_t>(c + 32, 255); };
    return Px(up(PR(p)), up(PG(p)), up(PB(p)));
}

uint32_t BlendedPixel(uint32_t image, uint32_t background, int opacity) {
    const uint32_t o = static_cast<uint32_t>(opacity), n = 255 - o;
    return Px((PR(image) * o + PR(background) * n) >> 8, (PG(image) * o + PG(background) * n) >> 8,
              (PB(image) * o + PB(background) * n) >> 8);
}

uint32_t TintedPixel(uint32_t image, uint32_t colorPixel, int weight) {
    return BlendedPixel(image, colorPixel, weight);
}

uint32_t ShadedPixel(uint32_t image, uint32_t background, int mode) {
    gcl::Assert(mode >= 0 && mode < 3, "Shading mode out of range", UnitName);
    static constexpr uint32_t Div[3] = {3, 8, 20};
    static constexpr uint32_t Add[3] = {170, 224, 243};
    // The scan line's low byte (blue) takes the weight 76, as the table is built.
    const uint32_t f = ((PB(image) * 76 + PG(image) * 150 + PR(image) * 29) >> 8) / Div[mode] + Add[mode];
    return Px((PR(background) * f) >> 8, (PG(background) * f) >> 8, (PB(background) * f) >> 8);
}

bool MonochromeMaskPixel(uint32_t image) { return (image & 0xFFFFFF) == 0 || PixelLum(image) < 46081; }

// ---- Gradient tables -----------------------------------------------------------

std::vector<TColor> GradientTable(int n, TColor s, TColor e) {
    gcl::Assert(n >= 1, "Gradient length below 1", UnitName);
    const TColor a = ResolveColor(s), b = ResolveColor(e);
    const int sc[3] = {static_cast<int>(RValue(a)), static_cast<int>(GValue(a)), static_cast<int>(BValue(a))};
    const int ec[3] = {static_cast<int>(RValue(b)), static_cast<int>(GValue(b)), static_cast<int>(BValue(b))};
    std::vector<TColor> table(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        uint32_t ch[3];
        for (int k = 0; k < 3; ++k) {
            const int delta = ec[k] - sc[k];
            const int v = n == 1 ? sc[k] + delta / 2 : sc[k] + (delta * i + (n - 1) / 2) / (n - 1);
            ch[k] = static_cast<uint32_t>(v);
        }
        table[static_cast<size_t>(i)] = RGBColor(ch[0], ch[1], ch[2]);
    }
    return table;
}

const std::vector<TColor>& TGradientCache::Get(int n, TColor s, TColor e) {
    for (auto& entry : FEntries)
        if (!entry.Table.empty() && entry.N == n && entry.S == s && entry.E == e) return entry.Table;
    TEntry& slot = FEntries[static_cast<size_t>(FNext)];
    FNext = (FNext + 1) % static_cast<int>(FEntries.size());
    slot.Table = GradientTable(n, s, e);
    slot.N = n;
    slot.S = s;
    slot.E = e;
    return slot.Table;
}

void TGradientCache::Clear() {
    for (auto& entry : FEntries) entry = TEntry{};
    FNext = 0;
}

// ---- Brushed texture ------------------------------------------------------------

void TBrushedNoise::Build() {
    constexpr double TwoPi = 2 * std::numbers::pi;
    for (auto& strip : Strips) {
        const int len = (gcl::Random(101) + 100) / 2;
        double p[7];
        for (double& phase : p) phase = gcl::RandomFloat() * TwoPi;
        strip.assign(static_cast<size_t>(2 * len), 0);
        for (int i = 0; i < len; ++i) {
            const double t = i * TwoPi / len;
            int a = gcl::Round(150 * std::sin(t) + 100 * std::sin(2 * t + p[0]) + 50 * std::sin(3 * t + p[1]) +
                               20 * std::sin(4 * t + p[2]));
            int b = gcl::Round(150 * std::sin(t + p[3]) + 100 * std::sin(2 * t + p[4]) +
                               50 * std::sin(3 * t + p[5]) + 20 * std::sin(4 * t + p[6]));
            a = Clamp(a, -255, 255);
            b = Clamp(b, -255, 255);
            if (std::abs(a - b) >= 301) {
                const int mid = (a + b) / 2;
                a = mid - 150;
                b = mid + 150;
            }
            strip[static_cast<size_t>(2 * i)] = std::min(a, b);
            strip[static_cast<size_t>(2 * i + 1)] = std::max(a, b);
        }
    }
    for (int y = 0; y < BrushedRows; ++y) {
        const int k = gcl::Random(8);
        RowStrip[static_cast<size_t>(y)] = k;
        const int len = static_cast<int>(Strips[static_cast<size_t>(k)].size());
        RowOffset[static_cast<size_t>(y)] = (gcl::Random(len) & ~1) + (y & 1);
    }
}

int BrushedRowIndex(int y, int originY) {
    // 64-bit and a non-negative modulo: rows far above the origin stay in range.
    const int64_t v = static_cast<int64_t>(y) + 0x10000 - originY;
    const int64_t m = v % BrushedRows;
    return static_cast<int>(m < 0 ? m + BrushedRows : m);
}

uint32_t BrushedPixel(int noise, TColor color, int strength) {
    const TColor c = ResolveColor(color);
    auto ch = [&](uint32_t v) {
        return static_cast<uint32_t>(Clamp(noise * strength + static_cast<int>(v) * 256, 0, 0xEF00)) >> 8;
    };
    return Px(ch(RValue(c)), ch(GValue(c)), ch(BValue(c)));
}

// ---- Popup shadows -------------------------------------------------------------

namespace {
bool Empty(const gcl::TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
} // namespace

std::vector<TShadowStrip> ShadowStrips(const gcl::TRect& r1, const gcl::TRect& r2, int s) {
    using gcl::Rect;
    std::vector<TShadowStrip> out;
    auto vert = [&](gcl::TRect r, uint8_t edges) { out.push_back({r, true, edges}); };
    auto horz = [&](gcl::TRect r, uint8_t edges) { out.push_back({r, false, edges}); };
    const bool e1 = Empty(r1), e2 = Empty(r2);
    if (e1 && e2) return out;
    if (e1 || e2) {
        const gcl::TRect& r = e1 ? r2 : r1;
        vert(Rect(r.Right, r.Top + s, r.Right + s, r.Bottom), 1);
        horz(Rect(r.Left + s, r.Bottom, r.Right + s, r.Bottom + s), 3);
        return out;
    }
    if (r2.Top + 2 >= r1.Bottom || r2.Bottom - 2 <= r1.Top) {
        const gcl::TRect& u = r2.Top + 2 >= r1.Bottom ? r1 : r2;
        const gcl::TRect& d = &u == &r1 ? r2 : r1;
        if (u.Left + s < d.Left) horz(Rect(u.Left + s, u.Bottom, d.Left, u.Bottom + s), 1);
        horz(Rect(d.Left + s, d.Bottom, d.Right + s, d.Bottom + s), 3);
        vert(Rect(u.Right, u.Top + s, u.Right + s, u.Bottom), 1);
        if (d.Right < u.Right) horz(Rect(d.Right, u.Bottom, u.Right + s, u.Bottom + s), 3);
        if (u.Right + s >= d.Right)
            vert(Rect(d.Right, d.Top + 1, d.Right + s, d.Bottom), 0);
        else
            vert(Rect(d.Right, d.Top + s, d.Right + s, d.Bottom), 1);
        return out;
    }
    const gcl::TRect& l = r1.Left <= r2.Left ? r1 : r2;
    const gcl::TRect& rt = &l == &r1 ? r2 : r1;
    if (rt.Left + 2 < l.Right && rt.Right - 2 > l.Left) return out;  // overlapping: no shadow
    if (l.Top + s < rt.Top) vert(Rect(l.Right, l.Top + s, l.Right + s, rt.Top), 1);
    vert(Rect(rt.Right, rt.Top + s, rt.Right + s, rt.Bottom + s), 3);
    horz(Rect(l.Left + s, l.Bottom, l.Right, l.Bottom + s), 1);
    if (rt.Bottom < l.Bottom) vert(Rect(l.Right, rt.Bottom, l.Right + s, l.Bottom + s), 3);
    if (l.Bottom + s < rt.Bottom)
        horz(Rect(rt.Left + s, rt.Bottom, rt.Right, rt.Bottom + s), 1);
    else
        horz(Rect(rt.Left, rt.Bottom, rt.Right, rt.Bottom + s), 0);
    return out;
}

namespace {

uint8_t CornerAlpha(int dx, int dy, int q) {
    const int v = ((std::max(dx, dy) + dx + dy) * 128) / q;
    return static_cast<uint8_t>(v < 255 ? 255 - v : 0);
}

// Splits a run of `length` into the fade-in and fade-out squares of side `side`.
void SplitRun(int length, int side, uint8_t edges, int& start, int& end) {
    start = (edges & 1) ? side : 0;
    end = (edges & 2) ? side : 0;
    if (start + end > length) {
        if (start && end)
            start = end = length / 2;
        else if (start)
            start = length;
        else
            end = length;
    }
}

} // namespace

std::vector<uint8_t> ShadowAlpha(bool vertical, int w, int h, uint8_t edges) {
    std::vector<uint8_t> a(static_cast<size_t>(std::max(w, 0)) * static_cast<size_t>(std::max(h, 0)), 0);
    if (w <= 0 || h <= 0) return a;
    auto at = [&](int x, int y) -> uint8_t& { return a[static_cast<size_t>(y) * static_cast<size_t>(w) + x]; };
    int start, end;
    if (!vertical) {
        SplitRun(w, h, edges, start, end);
        for (int y = 0; y < h; ++y)
            for (int x = start; x < w - end; ++x) at(x, y) = static_cast<uint8_t>(255 - (y * 256) / h);
        if (start > 0) {
            const int q = std::max(start, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < start; ++x) at(x, y) = CornerAlpha(q - 1 - x, y + q - h, q);
        }
        if (end > 0) {
            const int q = std::max(end, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < end; ++x) at(w - end + x, y) = CornerAlpha(x + q - end, y + q - h, q);
        }
    } else {
        SplitRun(h, w, edges, start, end);
        for (int y = start; y < h - end; ++y)
            for (int x = 0; x < w; ++x) at(x, y) = static_cast<uint8_t>(255 - (x * 256) / w);
        if (start > 0) {
            const int q = std::max(w, start);
            for (int y = 0; y < start; ++y)
                for (int x = 0; x < w; ++x) at(x, y) = CornerAlpha(x + q - w, q - 1 - y, q);
        }
        if (end > 0) {
            const int q = std::max(w, end);
            for (int y = 0; y < end; ++y)
                for (int x = 0; x < w; ++x) at(x, h - end + y) = CornerAlpha(x + q - w, y + q - end, q);
        }
    }
    return a;
}

} // namespace qelvo
