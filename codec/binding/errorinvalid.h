#pragma once
// The binding's error: a message text, raised for empty or unsuitable input
// and when the codec module cannot be loaded.

#include <QByteArray>
#include <QString>
#include <exception>

class ErrorInvalid : public std::exception {
public:
    explicit ErrorInvalid(const QString& message);
    const char* what() const noexcept override;
    QString message() const { return message_; }

private:
    QString message_;
    QByteArray utf8_;
};

namespace errortext {
inline constexpr char kInputEmpty[] = "Input image is empty";
inline constexpr char kOutputEmpty[] = "Output image is empty";
inline constexpr char kNot8Bit[] = "Input image is not 8 bit";
inline constexpr char kStreamEmpty[] = "Stream is nil or empty";
inline constexpr char kCantAllocate[] = "Can't allocate memory";
}  // namespace errortext
