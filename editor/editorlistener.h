#pragma once
// Answers the viewer: "SHOWS <path>" gets YES when the window's caption is
// the editor caption for that path, else NO; "RAISE" brings the window up.

#include <QObject>

class QLocalServer;
class QWidget;

class EditorListener : public QObject {
    Q_OBJECT
public:
    explicit EditorListener(QWidget* window);
    ~EditorListener() override;
    bool listening() const;
    QString path() const;

private:
    void answer();

    QWidget* window_;
    QLocalServer* server_;
};
