#include "codecstate.h"

#include <atomic>
#include <mutex>

namespace {

struct State {
    std::mutex lock;
    QList<QRgb> sharedPalette;
};

// Each thread has its own: a worker's error never shows in the picture
// pane's message, nor the pane's in a worker's result.
struct ThreadState {
    QString operationText;
    qint16 lastErrorCode = 0;
    QString lastErrorText;
};

ThreadState& threadState()
{
    thread_local ThreadState s;
    return s;
}

State& state()
{
    static State s;
    return s;
}

std::atomic<bool> scanning{false};

}  // namespace

QString OperationText()
{
    return threadState().operationText;
}

void SetOperationText(const QString& text)
{
    threadState().operationText = text;
}

qint16 LastErrorCode()
{
    return threadState().lastErrorCode;
}

QString LastErrorText()
{
    return threadState().lastErrorText;
}

void SetLastError(qint16 code, const QString& text)
{
    threadState().lastErrorCode = code;
    threadState().lastErrorText = text;
}

void SetLastErrorText(const QString& text)
{
    threadState().lastErrorText = text;
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
