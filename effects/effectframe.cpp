#include "effectframe.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/iltdib.h"
#include "dibcore/dibguard.h"
#include "effects/effectcalls.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdlib>

namespace effectframe {

int bitCount(GlobalHandle dib)
{
    return ILTDib(dib, false).BitCount();
}

int width(GlobalHandle dib)
{
    return ILTDib(dib, false).Width();
}

int height(GlobalHandle dib)
{
    return std::abs(ILTDib(dib, false).Height());
}

IspRect rectFor(GlobalHandle dib, int left, int top, int right, int bottom)
{
    if (right == 0 || bottom == 0) {
        right = width(dib);
        bottom = height(dib);
    }
    return IspRect{left, top, right, bottom};
}

void showModuleException()
{
    const auto warn = [] {
        MessageBox::warning(nullptr, QString(),
                            QStringLiteral("An exception error occured in the piclib dll. We recommend to exit the "
                                           "application and to restart it by clicking its icon!"));
    };
    // a worker's call: the box belongs on the UI thread, and the worker goes on
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread())
        QMetaObject::invokeMethod(app, warn, Qt::QueuedConnection);
    else
        warn();
}

GlobalHandle adaptDepth(const char* text, GlobalHandle dib, void* owner, EffectProgress progress,
                        const std::function<GlobalHandle(GlobalHandle)>& call, bool keepOneBit)
{
    const int bits = bitCount(dib);
    SetOperationText(QString::fromLatin1(text));
    if (bits >= 24)
        return moduleCall<GlobalHandle>(nullptr, [&] { return call(dib); });
    dibcore::DibGuard wide(IncreaseDepth(dib, 24));
    if (!wide.get())
        return nullptr;
    SetOperationText(QString::fromLatin1(text));
    dibcore::DibGuard result(moduleCall<GlobalHandle>(nullptr, [&] { return call(wide.get()); }));
    wide.reset();
    if (!result.get())
        return nullptr;
    // no reducer writes 16 bits: such pictures keep the 24-bit result
    if (bits == 16)
        return result.release();
    return ReduceDib(result.get(), bits == 1 && !keepOneBit ? 4 : bits, 0, 0, 0, owner, progress);
}

}  // namespace effectframe
