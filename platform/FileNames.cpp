#include "platform/FileNames.h"

#include <QByteArrayView>

namespace {

constexpr char16_t kFirstKept = 0xDC80;  // stands for byte 0x80
constexpr char16_t kLastKept = 0xDCFF;   // stands for byte 0xFF

// A kept byte: a low surrogate in that range standing alone, not the second
// half of a character beyond U+FFFF.
bool KeptAt(QStringView name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= kFirstKept && c <= kLastKept && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the UTF-8 character that starts at `at`, or 0 when the
// bytes there are none: a stray or missing continuation byte, an overlong
// form, a surrogate or a code point beyond U+10FFFF.
qsizetype CharacterLength(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const unsigned lead = byte(at);
    const auto continues = [&](qsizetype i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continues(at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : 0xBF;
        return continues(at + 1, low, high) && continues(at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
        return continues(at + 1, low, high) && continues(at + 2) && continues(at + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString FileNameFromBytes(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = CharacterLength(bytes, at);
        if (length > 0) {
            name += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        } else {
            name += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[at])));
            ++at;
        }
    }
    return name;
}

QByteArray FileNameBytes(const QString &name)
{
    if (!KeepsBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype textStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !KeptAt(name, i))
            continue;
        bytes += QStringView(name).mid(textStart, i - textStart).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - 0xDC00);
        textStart = i + 1;
    }
    return bytes;
}

bool KeepsBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (KeptAt(name, i))
            return true;
    }
    return false;
}

QString ReadableFileName(const QString &name)
{
    QString readable = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (KeptAt(name, i))
            readable[i] = QChar(char16_t(name[i].unicode() - 0xDC00));
    }
    return readable;
}
