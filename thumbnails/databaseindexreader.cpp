#include "databaseindexreader.h"

#include "storedminiatures.h"
#include "thumbnaildatabase.h"

#include <QFileInfo>
#include <QStringList>

DatabaseIndexReader::DatabaseIndexReader(const QString& fileName) : file_(fileName) {}

DatabaseIndexReader::~DatabaseIndexReader() = default;

bool DatabaseIndexReader::open()
{
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    size_ = file_.size();
    // the miniatures stay in the file until a cell needs them
    stored_ = StoredMiniatures::open(file_.fileName());
    if (!stored_)
        return false;
    lines_ = std::make_unique<DatabaseLineReader>(file_);
    return true;
}

DatabaseIndexReader::State DatabaseIndexReader::read(int max, std::vector<std::unique_ptr<Th>>& out,
                                                     const std::atomic<bool>& stop)
{
    if (!lines_)
        return State::Failed;
    QString line;
    bool error = false;
    int taken = 0;
    while (taken < max) {
        if (stop)
            return State::Stopped;
        if (!lines_->next(line, &error))
            return error ? State::Failed : State::End;
        if (!ThumbnailDatabase::isEntryMarker(line))
            continue;
        QStringList fields;
        bool dateMissing = false;
        DatabaseLineReader::HexLine hex;
        for (int k = 0; k < ThumbnailDatabase::kFieldLines; ++k) {
            if (lines_->atEnd())
                skipped_ += k == 0 ? 1 : 0;   // a cut entry: not as it was written
            if (!lines_->atEnd()) {
                const bool read = k == 0 ? lines_->nextHex(hex, &error) : lines_->next(line, &error);
                if (!read && error)
                    return State::Failed;   // a read error ends the load; the file is kept as it is
            } else if (k <= 9) {
                dateMissing = dateMissing || k == 9;
            }
            fields << (k == 0 ? QString() : line);
        }
        auto item = std::make_unique<Th>();
        ThumbnailDatabase::parseFacts(fields, dateMissing, *item);
        if (!hex.hexDigits || !ThumbnailDatabase::bmpHexHead(hex.head, hex.length)
            || !QFileInfo(item->FileName).isFile()) {
            ++skipped_;
            continue;
        }
        item->Stored = stored_;
        item->StoredOffset = hex.offset;
        item->StoredLength = hex.length;
        out.push_back(std::move(item));
        ++taken;
    }
    return State::More;
}
