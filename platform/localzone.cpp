#include "localzone.h"

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace localzone {

// With TZ unset, glibc stats /etc/localtime on each conversion Qt makes;
// a folder scan makes several per file. ":/etc/localtime" names the same
// zone file, so the zone is the same, read once.
void readSystemZoneOnce()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    qputenv("TZ", QByteArray(":/etc/localtime"));
    tzset();
}

}  // namespace localzone
