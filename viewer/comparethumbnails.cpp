#include "comparethumbnails.h"

#include "thumbnails/th.h"

#include <QString>

namespace {

template <typename T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString extensionFromLastDot(const QString& name)
{
    const int dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot);
}

int primary(const Th& a, const Th& b, int sortOrder)
{
    switch (sortOrder) {
    case 0: return a.FileName.compare(b.FileName, Qt::CaseInsensitive);
    case 1: return extensionFromLastDot(a.FileName).compare(extensionFromLastDot(b.FileName), Qt::CaseInsensitive);
    case 2: return threeWay(a.FileSize, b.FileSize);
    case 3: return threeWay(a.FileDate.toSecsSinceEpoch(), b.FileDate.toSecsSinceEpoch());
    // 64-bit areas: a 32-bit product turns large pictures negative
    case 4: return threeWay(qint64(a.Width) * a.Height, qint64(b.Width) * b.Height);
    default: return 0;
    }
}

}  // namespace

int CompareThumbnails(const Th& a, const Th& b, int sortOrder, int descending)
{
    if (sortOrder == 5)
        return 0;
    int r = primary(a, b, sortOrder);
    // ties go by the path's bytes, then the page: the same order whichever
    // order the items came in
    if (r == 0)
        r = a.FileName == b.FileName ? threeWay(a.PageIndex, b.PageIndex) : (a.FileName < b.FileName ? -1 : 1);
    else
        r = r < 0 ? -1 : 1;
    return descending == 1 ? -r : r;
}
