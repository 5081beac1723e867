// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/StrokeRecordBytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace document {

namespace {

constexpr char kMagic[4] = {'T', 'W', 'S', 'R'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderBytes = 4 + 2 + 4 + 4 + 2;
constexpr size_t kMarkBytes = 4;
constexpr size_t kRunBytes = 6;
constexpr uint8_t kKeepTones = 1, kColorize = 2, kSpreads = 4;

void Put(QByteArray &out, uint64_t value, int bytes)
{
    for (int k = 0; k < bytes; ++k)
        out.append(char(uint8_t(value >> (8 * k))));
}

// Reads little-endian numbers from the bytes, remembering when it ran past their end.
class Reader {
public:
    explicit Reader(const QByteArray &bytes) : bytes_(bytes) {}
    uint64_t Get(size_t bytes)
    {
        if (bytes > size_t(bytes_.size()) - at_) {
            short_ = true;
            return 0;
        }
        uint64_t value = 0;
        for (size_t k = 0; k < bytes; ++k)
            value |= uint64_t(uint8_t(bytes_[qsizetype(at_ + k)])) << (8 * k);
        at_ += bytes;
        return value;
    }
    bool Short() const { return short_; }
    bool AtEnd() const { return at_ == size_t(bytes_.size()); }

private:
    const QByteArray &bytes_;
    size_t at_ = 0;
    bool short_ = false;
};

} // namespace

QByteArray StrokeRecordToBytes(const colour::StrokeRecord &record)
{
    if (!record.Allocated())
        return QByteArray();
    QByteArray out(kMagic, sizeof kMagic);
    Put(out, kVersion, 2);
    Put(out, uint32_t(record.Width()), 4);
    Put(out, uint32_t(record.Height()), 4);
    Put(out, record.MarkCount(), 2);
    for (size_t id = 1; id <= record.MarkCount(); ++id) {
        const colour::StrokeMark &mark = record.Mark(uint16_t(id));
        Put(out, uint8_t(mark.paint.hue), 1);
        Put(out, uint8_t(mark.paint.saturation), 1);
        Put(out, uint8_t(mark.paint.brightness + 100), 1);
        Put(out,
            (mark.paint.keepTones ? kKeepTones : 0) | (mark.colorize ? kColorize : 0)
                | (mark.spreads ? kSpreads : 0),
            1);
    }
    uint16_t id = record.Row(0)[0];
    uint32_t length = 0;
    for (int32_t y = 0; y < record.Height(); ++y) {
        const uint16_t *row = record.Row(y);
        for (int32_t x = 0; x < record.Width(); ++x) {
            if (row[x] != id) {
                Put(out, id, 2);
                Put(out, length, 4);
                id = row[x];
                length = 0;
            }
            ++length;
        }
    }
    Put(out, id, 2);
    Put(out, length, 4);
    return out;
}

uint64_t MaxStrokeRecordBytes(int32_t width, int32_t height)
{
    const uint64_t pixels = uint64_t(width > 0 ? width : 0) * uint64_t(height > 0 ? height : 0);
    return kHeaderBytes + kMarkBytes * colour::StrokeRecord::kLastId + kRunBytes * pixels;
}

std::optional<colour::StrokeRecord> StrokeRecordFromBytes(const QByteArray &bytes, int32_t width,
                                                          int32_t height)
{
    if (width <= 0 || height <= 0 || uint64_t(bytes.size()) > MaxStrokeRecordBytes(width, height)
        || bytes.size() < qsizetype(kHeaderBytes)
        || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    Reader in(bytes);
    in.Get(sizeof kMagic);
    if (in.Get(2) != kVersion || in.Get(4) != uint64_t(width) || in.Get(4) != uint64_t(height))
        return std::nullopt;
    colour::StrokeRecord record;
    record.Reset(width, height);
    const auto marks = size_t(in.Get(2));
    // The file's ids as the record's: equal marks in the file share one id.
    std::vector<uint16_t> ids(marks + 1, 0);
    for (size_t k = 1; k <= marks; ++k) {
        colour::StrokeMark mark;
        mark.paint.hue = int32_t(in.Get(1));
        mark.paint.saturation = int32_t(in.Get(1));
        mark.paint.brightness = int32_t(in.Get(1)) - 100;
        const auto flags = uint8_t(in.Get(1));
        if (in.Short() || mark.paint.brightness > 100
            || (flags & ~(kKeepTones | kColorize | kSpreads)))
            return std::nullopt;
        mark.paint.keepTones = (flags & kKeepTones) != 0;
        mark.colorize = (flags & kColorize) != 0;
        mark.spreads = (flags & kSpreads) != 0;
        ids[k] = record.IdOf(mark);
    }
    // Every run must fit what is left before anything is allocated for the ids.
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (bytes.size() < qsizetype(kHeaderBytes + kMarkBytes * marks + kRunBytes)
        || !record.Allocate())
        return std::nullopt;
    uint64_t done = 0;
    while (done < pixels) {
        const auto id = size_t(in.Get(2));
        const uint64_t length = in.Get(4);
        if (in.Short() || id > marks || length == 0 || length > pixels - done)
            return std::nullopt;
        for (uint64_t left = length; left > 0;) {
            const auto y = int32_t(done / uint64_t(width));
            const auto x = size_t(done % uint64_t(width));
            const auto n = size_t(std::min<uint64_t>(left, uint64_t(width) - x));
            std::fill_n(record.Row(y) + x, n, ids[id]);
            done += n;
            left -= n;
        }
    }
    if (!in.AtEnd())
        return std::nullopt;
    return record;
}

} // namespace document
