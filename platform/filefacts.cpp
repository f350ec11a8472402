#include "filefacts.h"

#include <QFileInfo>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

namespace {

QDateTime timeOf(const struct statx_timestamp& t)
{
    return QDateTime::fromSecsSinceEpoch(qint64(t.tv_sec));
}

QString userName(uid_t uid)
{
    if (const passwd* p = getpwuid(uid))
        return QString::fromLocal8Bit(p->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    if (const group* g = getgrgid(gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(gid);
}

}  // namespace

FileFacts FileFacts::of(const QString& path)
{
    FileFacts f;
    struct statx st {};
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || statx(AT_FDCWD, name.constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return f;
    f.exists = true;
    f.isDir = S_ISDIR(st.stx_mode);
    f.hidden = QFileInfo(path).fileName().startsWith('.');
    f.size = qint64(st.stx_size);
    if (st.stx_mask & STATX_BTIME)
        f.born = timeOf(st.stx_btime);
    f.modified = timeOf(st.stx_mtime);
    f.accessed = timeOf(st.stx_atime);
    f.mode = st.stx_mode & 0777;
    f.owner = userName(st.stx_uid);
    f.group = groupName(st.stx_gid);
    return f;
}

QString FileFacts::permissionText() const
{
    QString text;
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (1u << bit)) ? QChar(letters[(8 - bit) % 3]) : QChar('-');
    return text;
}
