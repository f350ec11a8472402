// The codec wrappers: scanning, one scan at a time.

#include "codecwrappers.h"

#include "codeccall.h"

#include "platform/messagebox.h"
#include "platform/scannerpicker.h"

#include <QStringList>

using namespace codeccall;

// ---- scanning ------------------------------------------------------------------------

namespace {

class ScanSlot {
public:
    ScanSlot() : taken_(TryBeginScan()) {}
    ~ScanSlot()
    {
        if (taken_)
            EndScan();
    }
    ScanSlot(const ScanSlot&) = delete;
    ScanSlot& operator=(const ScanSlot&) = delete;
    bool taken() const { return taken_; }

private:
    bool taken_;
};

}  // namespace

namespace {

// The module lists the scanners and asks this chooser; context is the owner
// window.
int chooseScanner(void* context, const char* const* names, const char* const* descriptions, int count)
{
    QStringList labels;
    for (int i = 0; i < count; ++i) {
        const QString description = QString::fromUtf8(descriptions[i]);
        const QString name = QString::fromUtf8(names[i]);
        labels << (description.isEmpty() ? name : description + QStringLiteral(" (") + name + QLatin1Char(')'));
    }
    return ScannerPicker::choose(static_cast<QWidget*>(context), labels);
}

}  // namespace

bool SelectScanSource(void* window)
{
    ScanSlot slot;
    if (!slot.taken())
        return false;
    const CodecModule::Entry e = CodecModule::resolve("selectsource");
    if (!e)
        return false;
    ScanWindow chooser{window, chooseScanner};
    try {
        return e.as<selectsource_fn>()(&chooser) >= 0;
    } catch (...) {
        MessageBox::warning(nullptr, QString(),
                            QStringLiteral("An exception error occured in the piclib dll. We recommend to exit the "
                                           "application and to restart it by clicking its icon!"));
        return false;
    }
}

bool AcquireDibImage(void* window, int bits, bool dither, GlobalHandle& dib, void* sender, CodecProgress progress)
{
    dib = nullptr;
    ScanSlot slot;
    if (!slot.taken())
        return false;
    const CodecModule::Entry e = CodecModule::resolve("aquiredibimage");
    if (!e)
        return false;
    SetOperationText(QStringLiteral("Aquiring Image "));
    const bool ok = guarded(Judge::NotNegative, [&] {
        return e.as<aquiredibimage_fn>()(window, short(bits), short(dither), &dib, sender, progress, kCodecFlags);
    });
    return settled(ok, dib);
}

bool AcquireBitmap(void* window, int bits, bool dither, TBitmap& bitmap, void* sender, CodecProgress progress)
{
    return readIntoBitmap(
        [&](GlobalHandle& dib) { return AcquireDibImage(window, bits, dither, dib, sender, progress); }, bits,
        dither, bitmap, sender, progress);
}
