#include "libemfpictures.h"

#include <cmath>
#include <cstring>

#include <libEMF/emf.h>
#undef min
#undef max

namespace libemf {

namespace {

constexpr int kWidth = 200, kHeight = 100;

struct Picture {
    HDC dc = 0;
    explicit Picture(const std::string& path)
    {
        RECT frame = {0, 0, himetric(kWidth), himetric(kHeight)};
        dc = CreateEnhMetaFileA(0, path.c_str(), &frame, nullptr);
    }
    bool close()
    {
        if (!dc)
            return false;
        HENHMETAFILE m = CloseEnhMetaFile(dc);
        dc = 0;
        if (!m)
            return false;
        DeleteEnhMetaFile(m);
        return true;
    }
    ~Picture()
    {
        if (dc)
            close();
    }
};

// Pixels from the top left to MM_HIMETRIC coordinates (y up).
POINT hm(int x, int y)
{
    return POINT{himetric(x), -himetric(y)};
}

void select(HDC dc, HGDIOBJ object, HGDIOBJ* old = nullptr)
{
    HGDIOBJ previous = SelectObject(dc, object);
    if (old)
        *old = previous;
}

}  // namespace

int himetric(int pixels)
{
    return int(std::lround(pixels * 2540.0 / 96));
}

bool writeShapes(const std::string& path)
{
    Picture pic(path);
    if (!pic.dc)
        return false;
    HDC dc = pic.dc;
    SetMapMode(dc, MM_HIMETRIC);
    SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    select(dc, red);
    const POINT r1 = hm(10, 10), r2 = hm(60, 40);
    Rectangle(dc, r1.x, r1.y, r2.x, r2.y);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    select(dc, blue);
    const POINT e1 = hm(80, 10), e2 = hm(140, 70);
    Ellipse(dc, e1.x, e1.y, e2.x, e2.y);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    select(dc, green);
    const POINT tri[3] = {hm(150, 60), hm(190, 60), hm(170, 95)};
    Polygon(dc, tri, 3);
    HPEN black = CreatePen(PS_SOLID, himetric(3), RGB(0, 0, 0));
    select(dc, black);
    const POINT l1 = hm(10, 80), l2 = hm(60, 80);
    MoveToEx(dc, l1.x, l1.y, nullptr);
    LineTo(dc, l2.x, l2.y);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(blue);
    DeleteObject(green);
    DeleteObject(black);
    return pic.close();
}

bool writeText(const std::string& path, const std::u16string& first, const std::u16string& second)
{
    Picture pic(path);
    if (!pic.dc)
        return false;
    HDC dc = pic.dc;
    SetMapMode(dc, MM_HIMETRIC);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    SetTextAlign(dc, TA_TOP | TA_LEFT);
    static const WCHAR face[] = {'L', 'i', 'b', 'e', 'r', 'a', 't', 'i', 'o', 'n', ' ', 'S', 'a', 'n', 's', 0};
    HFONT font = CreateFontW(-himetric(30), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    select(dc, font);
    const POINT a = hm(10, 10), b = hm(10, 55);
    ExtTextOutW(dc, a.x, a.y, 0, nullptr, reinterpret_cast<const WCHAR*>(first.data()), UINT(first.size()), nullptr);
    ExtTextOutW(dc, b.x, b.y, 0, nullptr, reinterpret_cast<const WCHAR*>(second.data()), UINT(second.size()), nullptr);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    return pic.close();
}

bool writeWorldTransform(const std::string& path)
{
    Picture pic(path);
    if (!pic.dc)
        return false;
    HDC dc = pic.dc;
    SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    select(dc, red);
    // turn by 90 degrees (x to y), then move
    const XFORM turn = {0.0f, 1.0f, -1.0f, 0.0f, 100.0f, 30.0f};
    SetWorldTransform(dc, &turn);
    Rectangle(dc, 0, 0, 40, 20);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    return pic.close();
}

HeaderFacts readHeader(const std::string& path)
{
    HeaderFacts facts;
    HENHMETAFILE m = GetEnhMetaFileA(path.c_str());
    if (!m)
        return facts;
    // libEMF copies its header object, which may start with a hidden
    // pointer: the signature tells where the fields are
    unsigned char raw[sizeof(ENHMETAHEADER) + 16] = {};
    if (GetEnhMetaFileHeader(m, sizeof(ENHMETAHEADER), reinterpret_cast<ENHMETAHEADER*>(raw)) > 0) {
        for (std::size_t shift : {std::size_t(0), sizeof(void*)}) {
            auto field = [&](std::size_t offset) {
                int v = 0;
                std::memcpy(&v, raw + shift + offset, sizeof v);
                return v;
            };
            if (unsigned(field(40)) != ENHMETA_SIGNATURE)
                continue;
            facts.read = true;
            for (int i = 0; i < 4; ++i) {
                facts.bounds[i] = field(8 + 4 * i);
                facts.frame[i] = field(24 + 4 * i);
            }
            facts.device[0] = field(72);
            facts.device[1] = field(76);
            facts.millimetres[0] = field(80);
            facts.millimetres[1] = field(84);
            break;
        }
    }
    DeleteEnhMetaFile(m);
    return facts;
}

}  // namespace libemf
