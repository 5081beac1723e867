// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke record as a work file keeps it: random records read back id for id and mark
// for mark, and every kind of damaged bytes (cut short anywhere, another size, ids
// beyond the marks, runs that do not cover the picture exactly, values out of range) is
// refused whole.
#include "document/StrokeRecordBytes.h"

#include "support/RandomStrokes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

colour::StrokeRecord RandomRecord(int32_t w, int32_t h, std::mt19937 &rng)
{
    return testsupport::RandomRecord(w, h, rng, 1, 8, std::max(w, h));
}

void ExpectSame(const colour::StrokeRecord &a, const colour::StrokeRecord &b)
{
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    ASSERT_TRUE(b.Allocated());
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x) {
            const uint16_t ia = a.Row(y)[x], ib = b.Row(y)[x];
            ASSERT_EQ(ia == 0, ib == 0) << x << "," << y;
            if (ia != 0) {
                ASSERT_EQ(a.Mark(ia), b.Mark(ib)) << x << "," << y;
            }
        }
}

TEST(StrokeRecordBytes, RandomRecordsReadBackIdForIdAndMarkForMark)
{
    std::mt19937 rng(11);
    for (const auto &[w, h] : {std::pair{1, 1}, {1, 40}, {40, 1}, {17, 9}, {64, 64}, {301, 7}})
        for (int round = 0; round < 10; ++round) {
            const colour::StrokeRecord record = RandomRecord(w, h, rng);
            const QByteArray bytes = document::StrokeRecordToBytes(record);
            ASSERT_LE(uint64_t(bytes.size()), document::MaxStrokeRecordBytes(w, h));
            const std::optional<colour::StrokeRecord> back =
                document::StrokeRecordFromBytes(bytes, w, h);
            ASSERT_TRUE(back) << w << "x" << h;
            ExpectSame(record, *back);
            EXPECT_EQ(back->MarkCount(), record.MarkCount());
        }
}

TEST(StrokeRecordBytes, ARecordWithoutIdsIsNotKept)
{
    colour::StrokeRecord record;
    record.Reset(20, 10);
    EXPECT_TRUE(document::StrokeRecordToBytes(record).isEmpty());
}

TEST(StrokeRecordBytes, DamagedBytesAreRefusedWhole)
{
    std::mt19937 rng(3);
    const colour::StrokeRecord record = RandomRecord(23, 5, rng);
    const QByteArray good = document::StrokeRecordToBytes(record);
    const size_t marks = record.MarkCount();
    const qsizetype firstRun = qsizetype(16 + 4 * marks);
    // Cut short anywhere, or with a byte more.
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        ASSERT_FALSE(document::StrokeRecordFromBytes(good.left(cut), 23, 5)) << cut;
    EXPECT_FALSE(document::StrokeRecordFromBytes(good + '\0', 23, 5));
    // Of another picture.
    EXPECT_FALSE(document::StrokeRecordFromBytes(good, 5, 23));
    EXPECT_FALSE(document::StrokeRecordFromBytes(good, 0, 5));
    struct Change {
        const char *what;
        qsizetype at;
        QByteArray bytes;
    };
    const Change changes[] = {
        {"magic", 0, "X"},
        {"version", 4, QByteArray("\x02\x00", 2)},
        {"brightness over 100", 16 + 2, QByteArray("\xc9", 1)},
        {"unknown flag", 16 + 3, QByteArray("\x08", 1)},
        {"id beyond the marks", firstRun, QByteArray("\xff\x00", 2)},
        {"empty run", firstRun + 2, QByteArray("\x00\x00\x00\x00", 4)},
        {"run past the last pixel", firstRun + 2, QByteArray("\xff\xff\x00\x00", 4)},
    };
    for (const Change &c : changes) {
        QByteArray bad = good;
        bad.replace(c.at, c.bytes.size(), c.bytes);
        EXPECT_FALSE(document::StrokeRecordFromBytes(bad, 23, 5)) << c.what;
    }
    EXPECT_TRUE(document::StrokeRecordFromBytes(good, 23, 5));
}

} // namespace
