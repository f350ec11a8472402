#pragma once
// Settles, in list order on the UI thread, where each converted picture
// goes. A target handed out is reserved for the rest of the run, so a
// second source meeting the same name finds it taken, as if it existed.

#include "conversionoptions.h"

#include <QSet>
#include <QString>
#include <functional>

struct PlannedTarget {
    enum Action { Write, Skip, Stop };
    Action action = Skip;
    QString target;
    bool overSource = false;  // the target is the source itself (re-encoded in place)
};

class ConversionPlanner {
public:
    // The overwrite question's answers.
    enum Answer { Overwrite = 1, Cancel = 2, Rename = 4, SkipFile = 7 };
    // Asked for a target that exists or is reserved; renameTo holds a free
    // name proposed, and may be changed to another.
    using AskHook = std::function<int(const QString& source, const QString& target, QString& renameTo)>;

    ConversionPlanner(const ConversionOptions& options, AskHook ask);

    PlannedTarget plan(const QString& source, int page);
    bool taken(const QString& path) const;
    // base_k.ext with the first k for which the name is neither on disk nor reserved.
    QString freeName(const QString& path) const;

private:
    PlannedTarget settle(const QString& source, const QString& target);
    void reserve(const QString& path);

    ConversionOptions options_;
    AskHook ask_;
    QSet<QString> reserved_;
};
