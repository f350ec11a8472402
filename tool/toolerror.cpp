#include "toolerror.h"

ToolError::ToolError(Kind kind, const QString& message)
    : kind_(kind)
    , message_(message)
    , utf8_(message.toUtf8())
{
}
