#include "toolcommands.h"

const std::vector<ToolCommand>& toolCommands()
{
    static const std::vector<ToolCommand> commands = {
        {"info", "info FILE [--page N] [--annotations]", runInfoCommand},
        {"decode", "decode FILE [--page N] [--depth D] [--annotations] -o OUT.png", runDecodeCommand},
        {"thumbs", "thumbs FOLDER [--size N]", runThumbsCommand},
        {"effect", "effect NAME [ARG...] [--rect L,T,R,B] IN OUT", runEffectCommand},
        {"remap", "remap FILE.ILP IN OUT", runRemapCommand},
        {"convert",
         "convert --to FORMAT [--width W --height H | --percent P] [--depth D] [--quality Q] [--split-pages] "
         "[--overwrite ask|yes|no|rename] --out DIR FILES...",
         runConvertCommand},
    };
    return commands;
}
