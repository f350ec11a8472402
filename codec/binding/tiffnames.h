#pragma once
// TIFF 6.0 compression codes and tag names as the programs show them.

#include "piclibtypes.h"

#include <QString>

// sNONE 1, sCCITT 2, sFAXCCITT3 3, sFAXCCITT4 4, sLZW 5, sPACKBITS 32773.
int TiffCompressionCode(TTiffCompression compression);
// "NONE", "CCITT3", "FAXCCITT3", "FAXCCITT4", "LZW", "PACKBITS" or
// "Unbekannt". The code may arrive through a signed 16-bit field: -32763
// and 32763 also name PackBits.
QString TiffCompressionName(int code);
// A compression name from the codec module as the programs show it: its
// "UNKNOWN" reads "Unbekannt".
QString ShownCompressionName(const QString& moduleName);

struct TiffTagInfo {
    quint16 tag;
    const char* name;
    bool editable;
};

// The table row for a tag number; "Unknown" and read-only for any other.
TiffTagInfo TiffTagLookup(quint16 tag);
// The 50 rows, in tag order.
const TiffTagInfo* TiffTagTable(int* count);
