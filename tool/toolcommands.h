#pragma once
// The commands of glimra-tool. Each lives in its own source file; a new one
// is added to the list in toolcommands.cpp. A command prints its result on
// standard output and returns 0, or throws a ToolError.

#include <QStringList>
#include <vector>

struct ToolCommand {
    const char* name;
    const char* usage;
    int (*run)(const QStringList& args);
};

const std::vector<ToolCommand>& toolCommands();

int runInfoCommand(const QStringList& args);
int runDecodeCommand(const QStringList& args);
int runEffectCommand(const QStringList& args);
int runThumbsCommand(const QStringList& args);
int runRemapCommand(const QStringList& args);
int runConvertCommand(const QStringList& args);
