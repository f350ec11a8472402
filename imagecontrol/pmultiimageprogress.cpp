// TPMultiImage: progress of the work under way, its stop and end, and the
// reports of codec failures.

#include "pmultiimage.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/errorinvalid.h"

#include <QByteArray>

#include <utility>

int TPMultiImage::CodecProgressOf(int percent, void* sender)
{
    auto* self = static_cast<TPMultiImage*>(sender);
    return self ? self->progressAnswer(percent) : 1;
}

int TPMultiImage::progressAnswer(int percent)
{
    bool cancel = stopAsked_;
    if (OnProgress && !cancel) {
        workReported_ = workReported_ || workDepth_ > 0;
        OnProgress(this, qint16(percent), OperationText().toLower(), cancel);
    }
    if (cancel)
        stopped_ = true;
    return cancel ? 0 : 1;
}

TPMultiImage::ProgressWork::ProgressWork(TPMultiImage& control) : control_(control)
{
    if (control_.workDepth_++ > 0)
        return;
    control_.workReported_ = false;
    control_.stopped_ = false;
    control_.stopAsked_ = false;
}

TPMultiImage::ProgressWork::~ProgressWork()
{
    if (--control_.workDepth_ > 0 || !std::exchange(control_.workReported_, false))
        return;
    if (control_.OnProgressEnd) {
        try {
            control_.OnProgressEnd(&control_);
        } catch (...) {
        }
    }
}

void TPMultiImage::reportProgress(int percent)
{
    progressAnswer(percent);
}

void TPMultiImage::reportError(const QString& fallback)
{
    const qint16 code = LastErrorCode();
    const QString last = LastErrorText();
    const QString text = last.isEmpty() ? fallback : last;
    if (!OnIlibError)
        throw ErrorInvalid(text);
    const QByteArray bytes = text.toLocal8Bit();
    OnIlibError(this, code, text, bytes.constData());
}
