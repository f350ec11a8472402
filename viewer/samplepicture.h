#pragma once
// The sample picture "beispiel.jpg" that the settings dialogs show: kept in
// the program folder, or beside the settings file when the program folder
// cannot be written.

#include <QString>

namespace samplepicture {

// Writes the embedded sample where none exists yet and answers its path.
QString ensure();

}  // namespace samplepicture
