#pragma once
// Failures of a glimra-tool command: the message becomes the one line on
// standard error, the kind the exit code.

#include <QByteArray>
#include <QString>
#include <exception>

class ToolError : public std::exception {
public:
    enum Kind { Failure = 1, Usage = 2 };

    ToolError(Kind kind, const QString& message);
    static ToolError failure(const QString& message) { return ToolError(Failure, message); }
    static ToolError usage(const QString& message) { return ToolError(Usage, message); }

    Kind kind() const { return kind_; }
    QString message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    Kind kind_;
    QString message_;
    QByteArray utf8_;
};
