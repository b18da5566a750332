#include "app/information_file.h"

#include <QFile>
#include <QStringDecoder>

#include <iconv.h>

#include <vector>

namespace korvane {

namespace {

// GB18030 is the superset of GBK that glibc's iconv knows by that name.
QString decodeGbk(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    std::vector<char> out(static_cast<size_t>(bytes.size()) * 4 + 4);
    QByteArray input = bytes;
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (outLeft < 3)
            break;
        // An invalid or truncated sequence: mark it and go on with the next byte.
        ++in;
        --inLeft;
        *outPtr++ = '\xEF';
        *outPtr++ = '\xBF';
        *outPtr++ = '\xBD';
        outLeft -= 3;
    }
    iconv_close(cd);
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(outPtr - out.data()));
}

} // namespace

QString decodeInformationText(const QByteArray& bytes) {
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return decodeGbk(data);
}

QStringList splitTextLines(const QString& text) {
    QStringList lines;
    QString current;
    bool pending = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            pending = false;
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            continue;
        }
        current.append(c);
        pending = true;
    }
    if (pending)
        lines.append(current);
    return lines;
}

std::optional<QStringList> readInformationLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return splitTextLines(decodeInformationText(bytes));
}

} // namespace korvane
