#include "jpeggraphic.h"

#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void ignoreJpegMessage(j_common_ptr) {}

// Reads only the header; false for anything that is not a JPEG stream.
bool readHeaderSize(const QByteArray& data, QSize* size)
{
    if (data.size() < 4)
        return false;
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onJpegError;
    err.pub.output_message = ignoreJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    const int rc = jpeg_read_header(&info, TRUE);
    const bool ok = rc == JPEG_HEADER_OK && info.image_width > 0 && info.image_height > 0;
    if (ok)
        *size = QSize(int(info.image_width), int(info.image_height));
    jpeg_destroy_decompress(&info);
    return ok;
}

}  // namespace

bool JpegGraphic::loadFromData(const QByteArray& data)
{
    QSize s;
    if (!readHeaderSize(data, &s)) {
        data_.clear();
        size_ = QSize();
        return false;
    }
    data_ = data;
    size_ = s;
    return true;
}

bool JpegGraphic::saveToFile(const QString& path) const
{
    if (data_.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data_) != data_.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
