#pragma once
// The arguments of one glimra-tool command: options with a value
// ("--page 2", "-o out.png") and the remaining positional arguments. Every
// misuse throws a usage ToolError.

#include <QString>
#include <QStringList>
#include <optional>

class CommandLine {
public:
    // valueOptions: the options that take a value, e.g. {"--page", "-o"}.
    CommandLine(const QStringList& args, const QStringList& valueOptions);

    std::optional<QString> value(const QString& option) const;
    // The option's value as a whole number in [min, max]; fallback when absent.
    int intValue(const QString& option, int fallback, int min, int max) const;
    const QStringList& positionals() const { return positionals_; }
    // Exactly count positional arguments, or a usage error naming them.
    void requirePositionals(int count, const QString& names) const;

private:
    QStringList positionals_;
    QList<QPair<QString, QString>> options_;
};
