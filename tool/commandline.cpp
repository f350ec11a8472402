#include "commandline.h"

#include "toolerror.h"

CommandLine::CommandLine(const QStringList& args, const QStringList& valueOptions)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (valueOptions.contains(a)) {
            if (i + 1 >= args.size())
                throw ToolError::usage(QStringLiteral("option %1 needs a value").arg(a));
            if (value(a))
                throw ToolError::usage(QStringLiteral("option %1 given twice").arg(a));
            options_.append({a, args.at(++i)});
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            throw ToolError::usage(QStringLiteral("unknown option %1").arg(a));
        } else {
            positionals_.append(a);
        }
    }
}

std::optional<QString> CommandLine::value(const QString& option) const
{
    for (const auto& o : options_) {
        if (o.first == option)
            return o.second;
    }
    return std::nullopt;
}

int CommandLine::intValue(const QString& option, int fallback, int min, int max) const
{
    const auto text = value(option);
    if (!text)
        return fallback;
    bool ok = false;
    const int v = text->toInt(&ok);
    if (!ok || v < min || v > max)
        throw ToolError::usage(QStringLiteral("option %1: %2 is not a number from %3 to %4")
                                   .arg(option, *text)
                                   .arg(min)
                                   .arg(max));
    return v;
}

void CommandLine::requirePositionals(int count, const QString& names) const
{
    if (positionals_.size() != count)
        throw ToolError::usage(QStringLiteral("expected %1").arg(names));
}
