#include "errorinvalid.h"

ErrorInvalid::ErrorInvalid(const QString& message)
    : message_(message)
    , utf8_(message.toUtf8())
{
}

const char* ErrorInvalid::what() const noexcept
{
    return utf8_.constData();
}
