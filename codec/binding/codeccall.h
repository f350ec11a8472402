#pragma once
// The frame the codec wrappers call the module's entries through (the
// codecwrappers*.cpp files only): the file name in the module's buffer,
// the judging of an entry's result, the failure reason of this thread, and
// the handles a failed call leaves behind.

#include "codecmodule.h"
#include "codecstate.h"
#include "codecwrappers.h"
#include "dibconvert.h"
#include "errorinvalid.h"

#include "engine/crde2001.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace codeccall {

using NameBuffer = std::array<char, kMaxCodecFileName + 1>;

enum class Judge { Positive, NotMinusOne, NotNegative };

bool judged(short result, Judge judge);

// The file name in the module's fixed buffer; none when it does not fit.
std::optional<NameBuffer> nameBuffer(const QString& file);

// Why the last call on this thread failed, when the module or the binding
// said so.
extern thread_local QString t_failureReason;

// The module's reason for the failure of the entry just called.
QString moduleFailureReason();

template <typename Call>
bool guarded(Judge judge, Call&& call)
{
    t_failureReason.clear();
    bool ok = false;
    try {
        ok = judged(call(), judge);
    } catch (...) {
        ok = false;
    }
    if (!ok)
        t_failureReason = moduleFailureReason();
    return ok;
}

// Frame of an entry that takes a file name. verb: "Reading ", "Writing ",
// "Inserting ", or empty to leave OperationText as it is.
template <typename Fn, typename Call>
bool callFileEntry(const char* entry, const QString& file, const char* verb, Judge judge, Call&& call)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e)
        return false;
    const auto name = nameBuffer(file);
    if (!name)
        return false;
    if (verb)
        SetOperationText(QLatin1String(verb) + file);
    return guarded(judge, [&] { return call(e.as<Fn>(), name->data()); });
}

// Frame of an entry that reads a buffer. stream: the text after "Reading ",
// or null to leave OperationText as it is.
template <typename Fn, typename Call>
bool callStreamEntry(const char* entry, const void* data, qint64 size, const char* stream, Judge judge,
                     Call&& call)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e)
        return false;
    if (!data || size <= 0)
        throw ErrorInvalid(QString::fromLatin1(errortext::kStreamEmpty));
    if (stream)
        SetOperationText(QStringLiteral("Reading ") + QLatin1String(stream));
    return guarded(judge, [&] { return call(e.as<Fn>()); });
}

// A failed decode, or one without a picture, leaves no handle behind.
bool settled(bool ok, GlobalHandle& dib);

QList<QRgb> colorsOf(PaletteHandle palette);

// Decode with read, then convert to the bitmap and free the DIB.
template <typename Read>
bool readIntoBitmap(Read&& read, int bits, bool dither, TBitmap& bitmap, void* sender, CodecProgress progress)
{
    GlobalHandle dib = nullptr;
    if (!read(dib))
        return false;
    bool ok = false;
    try {
        ok = DIBToBitmap(dib, bits, dither, progress, sender, bitmap);
    } catch (...) {
        FreeDIB(dib);
        throw;
    }
    FreeDIB(dib);
    return ok;
}

}  // namespace codeccall
