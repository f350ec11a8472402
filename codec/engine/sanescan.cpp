#include "sanescan.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cstring>

#include "dibcore/dibcore.h"

namespace {

// Largest amount of scan data taken from a device.
constexpr std::size_t kMaxScanBytes = dibcore::kMaxPixelBytes;

class OpenDevice
{
public:
    explicit OpenDevice(const std::string& name)
    {
        if (sane_open(name.c_str(), &m_handle) != SANE_STATUS_GOOD)
            m_handle = nullptr;
    }
    ~OpenDevice()
    {
        if (m_handle) {
            sane_cancel(m_handle);
            sane_close(m_handle);
        }
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    SANE_Handle handle() const { return m_handle; }

private:
    SANE_Handle m_handle = nullptr;
};

bool listHas(const SANE_Option_Descriptor* option, const char* value)
{
    if (option->constraint_type != SANE_CONSTRAINT_STRING_LIST || !option->constraint.string_list)
        return false;
    for (const SANE_String_Const* s = option->constraint.string_list; *s; ++s)
        if (std::strcmp(*s, value) == 0)
            return true;
    return false;
}

// The first of the candidates the device's scan mode list offers, or null.
const char* modeFor(const SANE_Option_Descriptor* option, int wantedBits)
{
    static const char* const colour[] = {SANE_VALUE_SCAN_MODE_COLOR, nullptr};
    static const char* const grey[] = {SANE_VALUE_SCAN_MODE_GRAY, nullptr};
    static const char* const lineArt[] = {SANE_VALUE_SCAN_MODE_LINEART, SANE_VALUE_SCAN_MODE_GRAY, nullptr};
    const char* const* candidates = wantedBits >= 24 ? colour : wantedBits == 1 ? lineArt : grey;
    for (; *candidates; ++candidates)
        if (listHas(option, *candidates))
            return *candidates;
    return nullptr;
}

void chooseMode(SANE_Handle handle, int wantedBits)
{
    if (wantedBits == 0)
        return;
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle, i);
        if (!option || !option->name || std::strcmp(option->name, SANE_NAME_SCAN_MODE) != 0)
            continue;
        if (option->type != SANE_TYPE_STRING || !SANE_OPTION_IS_ACTIVE(option->cap) ||
            !SANE_OPTION_IS_SETTABLE(option->cap))
            return;
        const char* mode = modeFor(option, wantedBits);
        if (!mode || option->size <= 0)
            return;
        std::vector<char> value(std::size_t(option->size), '\0');
        std::strncpy(value.data(), mode, value.size() - 1);
        sane_control_option(handle, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
        return;
    }
}

bool plausible(const SANE_Parameters& p)
{
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return false;
    if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 || p.lines == 0 || p.lines < -1)
        return false;
    const std::int64_t samples = p.format == SANE_FRAME_RGB ? 3 : 1;
    const std::int64_t needed = (std::int64_t(p.pixels_per_line) * samples * p.depth + 7) / 8;
    return p.bytes_per_line >= needed && (p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ||
                                          p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN ||
                                          p.format == SANE_FRAME_BLUE);
}

// Sample i of a row at depth 1, 8 or 16, as 0..255.
unsigned sampleAt(const std::uint8_t* row, std::int64_t i, int depth)
{
    if (depth == 8)
        return row[i];
    if (depth == 16) {
        std::uint16_t v;
        std::memcpy(&v, row + 2 * i, 2);
        return v >> 8;
    }
    return (row[i / 8] >> (7 - i % 8)) & 1 ? 255u : 0u;
}

int channelOf(SANE_Frame format)
{
    return format == SANE_FRAME_RED ? 2 : format == SANE_FRAME_GREEN ? 1 : 0;  // BGR order in the DIB
}

}  // namespace

GlobalHandle SaneScan::acquire(const std::string& device, int wantedBits)
{
    OpenDevice open(device);
    if (!open.handle())
        return nullptr;
    chooseMode(open.handle(), wantedBits);
    std::vector<Frame> frames;
    for (int pass = 0; pass < 3; ++pass) {
        Frame frame;
        if (!readFrame(open.handle(), pass, frame))
            return nullptr;
        const bool last = frame.params.last_frame != 0;
        frames.push_back(std::move(frame));
        if (last)
            break;
    }
    return picture(frames);
}

bool SaneScan::readFrame(SANE_Handle handle, int pass, Frame& frame)
{
    if (sane_start(handle) != SANE_STATUS_GOOD)
        return false;
    if (sane_get_parameters(handle, &frame.params) != SANE_STATUS_GOOD || !plausible(frame.params))
        return false;
    const SANE_Parameters& p = frame.params;
    const std::size_t lineBytes = std::size_t(p.bytes_per_line);
    const bool lengthKnown = p.lines > 0;
    const std::size_t expected = lengthKnown ? lineBytes * std::size_t(p.lines) : 0;
    if (expected > kMaxScanBytes)
        return false;
    frame.bytes.reserve(expected);
    std::vector<std::uint8_t> buffer(64 * 1024);
    for (;;) {
        SANE_Int got = 0;
        const SANE_Status status = sane_read(handle, buffer.data(), SANE_Int(buffer.size()), &got);
        if (status == SANE_STATUS_EOF)
            break;
        if (status != SANE_STATUS_GOOD || got < 0 || std::size_t(got) > buffer.size())
            return false;
        if (frame.bytes.size() + std::size_t(got) > kMaxScanBytes)
            return false;
        frame.bytes.insert(frame.bytes.end(), buffer.begin(), buffer.begin() + got);
        if (lengthKnown && frame.bytes.size() >= expected) {
            frame.bytes.resize(expected);
            break;
        }
        const int done = lengthKnown ? int(frame.bytes.size() * 100 / expected) : 50;
        if (!m_request.progress((pass * 100 + done) / 3))
            return false;
    }
    frame.lines = int(frame.bytes.size() / lineBytes);
    return frame.lines > 0;
}

GlobalHandle SaneScan::picture(const std::vector<Frame>& frames) const
{
    const SANE_Parameters& first = frames.front().params;
    const int width = first.pixels_per_line;
    int height = frames.front().lines;
    for (const Frame& f : frames)
        height = std::min(height, f.lines);
    const bool grey = frames.size() == 1 && first.format == SANE_FRAME_GRAY;
    if (!grey && frames.size() == 1 && first.format != SANE_FRAME_RGB)
        return nullptr;  // a single colour plane without its partners
    if (!grey) {
        for (const Frame& f : frames)
            if (f.params.pixels_per_line != width)
                return nullptr;
    }
    const int bits = grey ? (first.depth == 1 ? 1 : 8) : 24;
    dibcore::Palette palette;
    if (bits == 1) {
        palette = dibcore::monoPalette();
        std::reverse(palette.begin(), palette.end());  // line art: a set bit is black
    } else if (bits == 8) {
        palette = dibcore::greyPalette(256);
    }
    GlobalHandle dib = dibcore::allocDib(width, height, bits, palette);
    if (!dib)
        return nullptr;
    dibcore::DibView view = dibcore::lockView(dib);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = view.mutableRow(y);
        if (bits == 1) {
            std::memcpy(out, frames[0].bytes.data() + std::size_t(y) * std::size_t(first.bytes_per_line),
                        std::size_t(width + 7) / 8);
            continue;
        }
        for (const Frame& f : frames) {
            const std::uint8_t* in = f.bytes.data() + std::size_t(y) * std::size_t(f.params.bytes_per_line);
            for (int x = 0; x < width; ++x) {
                if (bits == 8)
                    out[x] = std::uint8_t(sampleAt(in, x, f.params.depth));
                else if (f.params.format == SANE_FRAME_RGB)
                    for (int c = 0; c < 3; ++c)
                        out[3 * x + 2 - c] = std::uint8_t(sampleAt(in, std::int64_t(x) * 3 + c, f.params.depth));
                else
                    out[3 * x + channelOf(f.params.format)] = std::uint8_t(sampleAt(in, x, f.params.depth));
            }
        }
    }
    globalmem::unlock(dib);
    return dib;
}
