#include "sanetestdevice.h"

#include <dlfcn.h>

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

SaneTestDevice::SaneTestDevice()
{
    void* sane = dlopen("libsane.so.1", RTLD_NOW | RTLD_NODELETE);
    Dl_info where{};
    if (sane && dladdr(dlsym(sane, "sane_init"), &where) && where.dli_fname) {
        const QString backend = QFileInfo(QString::fromLocal8Bit(where.dli_fname)).absolutePath() +
                                QStringLiteral("/sane/libsane-test.so.1");
        dlopen(backend.toLocal8Bit().constData(), RTLD_NOW | RTLD_NODELETE);
    }
    if (valid()) {
        qputenv("SANE_CONFIG_DIR", m_folder.path().toLocal8Bit());
        configure(Options());
    }
}

bool SaneTestDevice::configure(const Options& o)
{
    QFile dll(m_folder.filePath(QStringLiteral("dll.conf")));
    if (!dll.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    dll.write(o.devices > 0 ? "test\n" : "");
    dll.close();
    QFile conf(m_folder.filePath(QStringLiteral("test.conf")));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&conf);
    out << "number_of_devices " << qMax(o.devices, 1) << "\n"
        << "mode " << o.mode << "\n"
        << "depth " << o.depth << "\n"
        << "hand-scanner " << (o.handScanner ? "true" : "false") << "\n"
        << "three-pass " << (o.threePass ? "true" : "false") << "\n"
        << "test-picture \"" << o.picture << "\"\n"
        << "resolution 50.0\n"
        << "br_x 40.0\nbr_y 30.0\n";
    return out.status() == QTextStream::Ok;
}
