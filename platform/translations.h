#pragma once

class QCoreApplication;

namespace translations {
// Loads Qt's own German texts ("Abbrechen", "Ja") when installed.
bool installGerman(QCoreApplication& app);
}
