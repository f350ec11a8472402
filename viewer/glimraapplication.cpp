#include "glimraapplication.h"

#include <exception>

GlimraApplication::GlimraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GlimraApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unbekannter Fehler");
    }
    if (exceptionSink)
        exceptionSink(message);
    return false;
}
