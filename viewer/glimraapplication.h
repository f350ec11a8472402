#pragma once
// The application object: every exception that reaches the event loop ends
// here, and its message goes to the sink instead of ending the program.

#include <QApplication>
#include <functional>

class GlimraApplication : public QApplication {
    Q_OBJECT
public:
    GlimraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    std::function<void(const QString& message)> exceptionSink;
};
