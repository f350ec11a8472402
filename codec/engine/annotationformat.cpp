#include "annotationformat.h"

#include <cstring>

namespace annotationformat {

using annotation::Kind;
using annotation::Object;

namespace {

constexpr char kMagic[8] = {'K', 'V', 'A', 'N', 'N', 'O', 'T', 0};
constexpr std::uint16_t kFlagOpaque = 1;
constexpr std::uint16_t kFlagIconic = 2;
// Fixed part of an object's body before its texts.
constexpr std::size_t kBodyFixedBytes = 4 + 16 + 4;

bool validUtf8(const std::uint8_t* s, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = s[i];
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t code = 0, least = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, code = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, code = c & 0x0F, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, code = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (n - i <= std::size_t(extra))
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += std::size_t(extra) + 1;
    }
    return true;
}

// Reads from a run of bytes; every read checks what is left first.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : p_(data), left_(size) {}

    std::size_t left() const { return left_; }
    bool u8(std::uint8_t& v)
    {
        if (left_ < 1)
            return false;
        v = *p_;
        skip(1);
        return true;
    }
    bool u16(std::uint16_t& v)
    {
        if (left_ < 2)
            return false;
        v = std::uint16_t(p_[0] | (p_[1] << 8));
        skip(2);
        return true;
    }
    bool u32(std::uint32_t& v)
    {
        if (left_ < 4)
            return false;
        v = std::uint32_t(p_[0]) | (std::uint32_t(p_[1]) << 8) | (std::uint32_t(p_[2]) << 16) |
            (std::uint32_t(p_[3]) << 24);
        skip(4);
        return true;
    }
    bool i32(std::int32_t& v)
    {
        std::uint32_t u = 0;
        if (!u32(u))
            return false;
        v = std::int32_t(u);
        return true;
    }
    bool bytes(std::size_t n, const std::uint8_t*& out)
    {
        if (left_ < n)
            return false;
        out = p_;
        skip(n);
        return true;
    }
    bool text(std::string& out)
    {
        std::uint32_t n = 0;
        const std::uint8_t* s = nullptr;
        if (!u32(n) || n > kMaxTextBytes || !bytes(n, s) || !validUtf8(s, n))
            return false;
        out.assign(reinterpret_cast<const char*>(s), n);
        return true;
    }

private:
    void skip(std::size_t n)
    {
        p_ += n;
        left_ -= n;
    }
    const std::uint8_t* p_;
    std::size_t left_;
};

class Writer {
public:
    std::vector<std::uint8_t> out;
    void u8(std::uint8_t v) { out.push_back(v); }
    void u16(std::uint16_t v)
    {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void bytes(const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); }
    void text(const std::string& s)
    {
        u32(std::uint32_t(s.size()));
        bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }
};

bool pointCountFits(Kind kind, std::size_t count)
{
    const int most = annotation::maximumPoints(kind);
    return count >= std::size_t(annotation::minimumPoints(kind)) && (most == 0 || count <= std::size_t(most));
}

bool readPoints(Reader& r, Object& o)
{
    std::uint32_t count = 0;
    if (!r.u32(count) || count > r.left() / 8 || !pointCountFits(o.kind, count))
        return false;
    o.points.resize(count);
    for (annotation::Point& p : o.points) {
        if (!r.i32(p.x) || !r.i32(p.y))
            return false;
        if (p.x < -kMaxCoordinate || p.x > kMaxCoordinate || p.y < -kMaxCoordinate || p.y > kMaxCoordinate)
            return false;
    }
    return true;
}

bool readPicture(Reader& r, Object& o)
{
    std::uint32_t w = 0, h = 0;
    if (!r.u32(w) || !r.u32(h))
        return false;
    if (w == 0 && h == 0)
        return true;
    if (w == 0 || h == 0 || w > std::uint32_t(kMaxPictureSide) || h > std::uint32_t(kMaxPictureSide))
        return false;
    const std::size_t n = std::size_t(w) * h * 4;
    const std::uint8_t* pixels = nullptr;
    if (!r.bytes(n, pixels))
        return false;
    o.imageWidth = int(w);
    o.imageHeight = int(h);
    o.imagePixels.assign(pixels, pixels + n);
    return true;
}

bool readBody(Reader& r, Object& o)
{
    std::uint8_t width = 0, style = 0, hatch = 0, reserved8 = 0;
    std::uint16_t height = 0, reserved16 = 0;
    if (r.left() < kBodyFixedBytes)
        return false;
    r.u8(width), r.u8(style), r.u8(hatch), r.u8(reserved8);
    r.u32(o.foreColor), r.u32(o.backColor), r.u32(o.fontColor), r.u32(o.fontBackColor);
    r.u16(height), r.u16(reserved16);
    if (width < 1 || width > 20 || style > 5 || hatch > annotation::kHatchSolid || reserved8 != 0 ||
        height < 1 || height > 210 || reserved16 != 0)
        return false;
    o.penWidth = width;
    o.penStyle = style;
    o.hatch = hatch;
    o.fontHeight = height;
    return r.text(o.fontName) && r.text(o.text) && readPoints(r, o) && readPicture(r, o) && r.left() == 0;
}

bool readObject(Reader& r, Object& o)
{
    std::uint16_t kind = 0, flags = 0;
    std::uint32_t length = 0;
    const std::uint8_t* body = nullptr;
    if (!r.u16(kind) || !r.u16(flags) || !r.u32(length) || !r.bytes(length, body))
        return false;
    if (kind >= annotation::kKindCount || (flags & ~(kFlagOpaque | kFlagIconic)) != 0)
        return false;
    o.kind = Kind(kind);
    o.opaque = flags & kFlagOpaque;
    o.iconic = flags & kFlagIconic;
    Reader bodyReader(body, length);
    return readBody(bodyReader, o);
}

void writeObject(Writer& w, const Object& o)
{
    Writer body;
    body.u8(std::uint8_t(o.penWidth));
    body.u8(std::uint8_t(o.penStyle));
    body.u8(std::uint8_t(o.hatch));
    body.u8(0);
    body.u32(o.foreColor);
    body.u32(o.backColor);
    body.u32(o.fontColor);
    body.u32(o.fontBackColor);
    body.u16(std::uint16_t(o.fontHeight));
    body.u16(0);
    body.text(o.fontName);
    body.text(o.text);
    body.u32(std::uint32_t(o.points.size()));
    for (const annotation::Point& p : o.points) {
        body.i32(p.x);
        body.i32(p.y);
    }
    body.u32(std::uint32_t(o.imageWidth));
    body.u32(std::uint32_t(o.imageHeight));
    body.bytes(o.imagePixels.data(), o.imagePixels.size());

    w.u16(std::uint16_t(o.kind));
    w.u16(std::uint16_t((o.opaque ? kFlagOpaque : 0) | (o.iconic ? kFlagIconic : 0)));
    w.u32(std::uint32_t(body.out.size()));
    w.bytes(body.out.data(), body.out.size());
}

}  // namespace

std::optional<Pages> parse(const std::uint8_t* data, std::size_t size)
{
    if (!data || size > kMaxFileBytes)
        return std::nullopt;
    Reader r(data, size);
    const std::uint8_t* magic = nullptr;
    std::uint16_t version = 0, reserved = 0;
    std::uint32_t pageCount = 0;
    if (!r.bytes(sizeof kMagic, magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || !r.u16(version) ||
        version != kVersion || !r.u16(reserved) || reserved != 0 || !r.u32(pageCount))
        return std::nullopt;
    // a page takes at least 8 bytes, an object at least 8 + its fixed body
    if (pageCount > r.left() / 8)
        return std::nullopt;
    Pages pages;
    int previous = -1;
    for (std::uint32_t i = 0; i < pageCount; ++i) {
        std::uint32_t page = 0, count = 0;
        if (!r.u32(page) || !r.u32(count) || page > std::uint32_t(kMaxPage) || int(page) <= previous || count == 0 ||
            count > r.left() / (8 + kBodyFixedBytes))
            return std::nullopt;
        previous = int(page);
        std::vector<Object>& objects = pages[int(page)];
        objects.resize(count);
        for (Object& o : objects) {
            if (!readObject(r, o))
                return std::nullopt;
        }
    }
    if (r.left() != 0)
        return std::nullopt;
    return pages;
}

bool writable(const Object& o)
{
    const auto inRange = [](const annotation::Point& p) {
        return p.x >= -kMaxCoordinate && p.x <= kMaxCoordinate && p.y >= -kMaxCoordinate && p.y <= kMaxCoordinate;
    };
    bool ok = int(o.kind) >= 0 && int(o.kind) < annotation::kKindCount && o.penWidth >= 1 && o.penWidth <= 20 &&
              o.penStyle >= 0 && o.penStyle <= 5 && o.hatch >= 0 && o.hatch <= annotation::kHatchSolid &&
              o.fontHeight >= 1 && o.fontHeight <= 210 && pointCountFits(o.kind, o.points.size());
    for (const annotation::Point& p : o.points)
        ok = ok && inRange(p);
    for (const std::string* s : {&o.fontName, &o.text}) {
        ok = ok && s->size() <= kMaxTextBytes &&
             validUtf8(reinterpret_cast<const std::uint8_t*>(s->data()), s->size());
    }
    const bool noPicture = o.imageWidth == 0 && o.imageHeight == 0 && o.imagePixels.empty();
    const bool picture = o.imageWidth >= 1 && o.imageWidth <= kMaxPictureSide && o.imageHeight >= 1 &&
                         o.imageHeight <= kMaxPictureSide &&
                         o.imagePixels.size() == std::size_t(o.imageWidth) * std::size_t(o.imageHeight) * 4;
    return ok && (noPicture || picture);
}

std::vector<std::uint8_t> serialize(const Pages& pages)
{
    Writer w;
    w.bytes(reinterpret_cast<const std::uint8_t*>(kMagic), sizeof kMagic);
    w.u16(kVersion);
    w.u16(0);
    std::uint32_t used = 0;
    for (const auto& [page, objects] : pages)
        used += objects.empty() ? 0 : 1;
    w.u32(used);
    for (const auto& [page, objects] : pages) {
        if (objects.empty())
            continue;
        w.u32(std::uint32_t(page));
        w.u32(std::uint32_t(objects.size()));
        for (const Object& o : objects)
            writeObject(w, o);
    }
    return std::move(w.out);
}

}  // namespace annotationformat
