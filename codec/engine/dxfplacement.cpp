#include "dxfplacement.h"

#include <cmath>

namespace dxfplacement {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

void Affine::apply(double& x, double& y) const
{
    const double nx = a * x + b * y + c, ny = d * x + e * y + f;
    x = nx, y = ny;
}

Affine Affine::after(const Affine& in) const
{
    return {a * in.a + b * in.d, a * in.b + b * in.e, a * in.c + b * in.f + c,
            d * in.a + e * in.d, d * in.b + e * in.e, d * in.c + e * in.f + f};
}

Affine insertMap(const DxfInsert& in, double baseX, double baseY)
{
    const double cs = std::cos(in.rotation * kPi / 180), sn = std::sin(in.rotation * kPi / 180);
    Affine m{cs * in.scaleX, -sn * in.scaleY, 0, sn * in.scaleX, cs * in.scaleY, 0};
    m.c = in.x - (m.a * baseX + m.b * baseY);
    m.f = in.y - (m.d * baseX + m.e * baseY);
    return m;
}

DxfSegment placed(const DxfSegment& s, const Affine& m)
{
    DxfSegment out = s;
    m.apply(out.x0, out.y0);
    m.apply(out.x1, out.y1);
    return out;
}

DxfPoint placed(const DxfPoint& p, const Affine& m)
{
    DxfPoint out = p;
    m.apply(out.x, out.y);
    return out;
}

DxfCurve placed(const DxfCurve& k, const Affine& m)
{
    DxfCurve out = k;
    m.apply(out.cx, out.cy);
    out.ux = m.a * k.ux + m.b * k.uy, out.uy = m.d * k.ux + m.e * k.uy;
    out.vx = m.a * k.vx + m.b * k.vy, out.vy = m.d * k.vx + m.e * k.vy;
    return out;
}

DxfText placed(const DxfText& t, const Affine& m)
{
    DxfText out = t;
    m.apply(out.x, out.y);
    const double r = t.rotation * kPi / 180;
    const double dx = m.a * std::cos(r) + m.b * std::sin(r), dy = m.d * std::cos(r) + m.e * std::sin(r);
    const double ux = -m.a * std::sin(r) + m.b * std::cos(r), uy = -m.d * std::sin(r) + m.e * std::cos(r);
    const double along = std::hypot(dx, dy), across = std::hypot(ux, uy);
    out.height = t.height * across;
    out.widthFactor = across > 0 ? t.widthFactor * along / across : t.widthFactor;
    double degrees = std::atan2(dy, dx) * 180 / kPi;
    out.rotation = degrees < 0 ? degrees + 360 : degrees;
    return out;
}

}  // namespace dxfplacement
