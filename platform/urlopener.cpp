#include "urlopener.h"

#include <QDesktopServices>

namespace urlopener {
namespace {

Opener& current()
{
    static Opener o = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return o;
}

}  // namespace

bool open(const QUrl& url)
{
    return current()(url);
}

void setOpener(Opener opener)
{
    current() = opener ? std::move(opener) : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

}  // namespace urlopener
