// Milliseconds for the viewer's settings round trip (one write batch, one
// read batch) against a private store.
#include "platform/settings.h"
#include "viewer/startupsettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("GLIMRA_CONFIG_DIR", dir.path().toLocal8Bit());
    const int rounds = 200;
    QElapsedTimer timer;
    timer.start();
    StartupSettings s;
    for (int i = 0; i < rounds; ++i) {
        {
            Settings store;
            s.f_x = i;
            s.write(store);
        }
        Settings store;
        s = StartupSettings::read(store);
    }
    std::printf("settings round trips=%d ms_per_round=%.3f last_f_x=%d\n", rounds,
                double(timer.nsecsElapsed()) / 1e6 / rounds, s.f_x);
    return 0;
}
