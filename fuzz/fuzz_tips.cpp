// The tips file. It lies beside the program where anyone may edit or
// replace it, so its bytes are outside input.
//
// Input: the file's bytes. The last byte also picks where a second reader
// starts, as the dialog starts from the position the profile remembers.

#include "fuzz/FuzzTargets.h"
#include "help/TipsFile.h"

#include <QByteArrayList>

namespace {

// More calls than the file has lines plus one wrap, so every path through
// the reader's loop, the wrap included, is taken.
constexpr int kCalls = 8;

bool StartsLikeTip(const QString &tip)
{
    if (tip.isEmpty())
        return false;
    const QChar first = tip.front();
    return first != QLatin1Char(' ') && first != QLatin1Char('\t') && first != QLatin1Char(';')
        && first != QLatin1Char('\n') && first != QLatin1Char('\r');
}

void ReadTips(TipsFile &tips, bool hasTipLine)
{
    for (int i = 0; i < kCalls; ++i) {
        const QString tip = tips.ReadNextTip();
        // A file with a tip in it always gives one, wherever reading stood.
        FUZZ_CHECK(!hasTipLine || !tip.isEmpty());
        FUZZ_CHECK(tip.isEmpty() || StartsLikeTip(tip));
        // One line at most: a line end, if any, ends the tip.
        const qsizetype end = tip.indexOf(QLatin1Char('\n'));
        FUZZ_CHECK(end < 0 || end == tip.size() - 1);
    }
}

} // namespace

int FuzzTips(const uint8_t *data, size_t size)
{
    const QString path = QString::fromStdString(WriteTempFile("tips.txt", data, size));
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    bool hasTipLine = false;
    for (const QByteArray &line : bytes.split('\n'))
        hasTipLine = hasTipLine || TipsFile::IsTipLine(line);

    TipsFile fromTop(path);
    FUZZ_CHECK(fromTop.IsOpen());
    ReadTips(fromTop, hasTipLine);

    // A remembered position may be anywhere, even past the end.
    TipsFile fromMiddle(path);
    const qint64 start = size == 0 ? 0 : data[size - 1] % static_cast<qint64>(size + 2);
    if (fromMiddle.Seek(start))
        ReadTips(fromMiddle, hasTipLine);
    FUZZ_CHECK(!fromMiddle.Seek(-1));
    return 0;
}

KELVARO_FUZZ_ENTRY(FuzzTips)
