#pragma once
// Opens a web or mail address with the desktop's default handler. Tests
// replace the opener so nothing is started.

#include <QUrl>
#include <functional>

namespace urlopener {

using Opener = std::function<bool(const QUrl& url)>;

bool open(const QUrl& url);
// An empty opener puts the desktop's own back.
void setOpener(Opener opener);

}  // namespace urlopener
