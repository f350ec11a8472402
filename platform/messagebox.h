#pragma once
// German message boxes. Tests replace the modal box by a script that
// answers in its place, so no test ever sits in a modal loop.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

class MessageBox {
public:
    struct Request {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    using Script = std::function<QMessageBox::StandardButton(const Request&)>;

    static QMessageBox::StandardButton show(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static void information(QWidget* owner, const QString& caption, const QString& text);
    static void warning(QWidget* owner, const QString& caption, const QString& text);
    static bool question(QWidget* owner, const QString& caption, const QString& text);

    static void setScript(Script script);
    static QString germanButtonText(QMessageBox::StandardButton button);
};
