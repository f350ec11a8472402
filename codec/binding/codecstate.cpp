#include "codecstate.h"

#include <atomic>
#include <mutex>

namespace {

struct State {
    std::mutex lock;
    QString operationText;
    qint16 lastErrorCode = 0;
    QString lastErrorText;
    QList<QRgb> sharedPalette;
};

State& state()
{
    static State s;
    return s;
}

std::atomic<bool> scanning{false};

}  // namespace

QString OperationText()
{
    std::lock_guard g(state().lock);
    return state().operationText;
}

void SetOperationText(const QString& text)
{
    std::lock_guard g(state().lock);
    state().operationText = text;
}

qint16 LastErrorCode()
{
    std::lock_guard g(state().lock);
    return state().lastErrorCode;
}

QString LastErrorText()
{
    std::lock_guard g(state().lock);
    return state().lastErrorText;
}

void SetLastError(qint16 code, const QString& text)
{
    std::lock_guard g(state().lock);
    state().lastErrorCode = code;
    state().lastErrorText = text;
}

void SetLastErrorText(const QString& text)
{
    std::lock_guard g(state().lock);
    state().lastErrorText = text;
}

QList<QRgb> SharedPalette()
{
    std::lock_guard g(state().lock);
    return state().sharedPalette;
}

void SetSharedPalette(const QList<QRgb>& palette)
{
    std::lock_guard g(state().lock);
    state().sharedPalette = palette;
}

bool TryBeginScan()
{
    bool expected = false;
    return scanning.compare_exchange_strong(expected, true);
}

void EndScan()
{
    scanning = false;
}

bool ScanBusy()
{
    return scanning;
}
