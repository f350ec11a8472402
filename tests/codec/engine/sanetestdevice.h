#pragma once
// SANE's test device in a private configuration folder (SANE_CONFIG_DIR),
// for tests that scan. The backend stays mapped after SANE lets it go, so
// leaks inside it keep its name for the suppression list.

#include <QString>
#include <QTemporaryDir>

class SaneTestDevice
{
public:
    struct Options {
        QString mode = QStringLiteral("Gray");
        int depth = 8;
        QString picture = QStringLiteral("Solid black");
        bool handScanner = false;
        bool threePass = false;
        int devices = 2;  // 0: no scanner at all
    };

    SaneTestDevice();
    bool valid() const { return m_folder.isValid(); }
    // Writes the configuration the next SANE start reads: 40 x 30 mm at 50 dpi.
    bool configure(const Options& options);

private:
    QTemporaryDir m_folder;
};
