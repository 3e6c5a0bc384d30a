#include "app/TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char kGb18030[] = "GB18030";

bool AllLinesEndInCrLf(const QByteArray& bytes) {
    qsizetype lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        if (i == 0 || bytes[i - 1] != '\r') return false;
        ++lines;
    }
    return lines > 0;
}

}  // namespace

bool DecodeTextFile(const QByteArray& bytes, QString& text, TextFileForm& form) {
    form = TextFileForm();
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        form.bom = true;
        body.remove(0, 3);
    }
    form.crlf = AllLinesEndInCrLf(body);

    bool clean = true;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(body);
    if (utf8.hasError() && !form.bom) {
        QStringDecoder gb(kGb18030, QStringDecoder::Flag::Stateless);
        if (gb.isValid()) {
            const QString other = gb.decode(body);
            if (!gb.hasError()) {
                text = other;
                form.gb18030 = true;
            } else {
                clean = false;
            }
        } else {
            clean = false;
        }
    } else if (utf8.hasError()) {
        clean = false;
    }
    if (form.crlf) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return clean;
}

QByteArray EncodeTextFile(const QString& text, const TextFileForm& form) {
    QString body = text;
    if (form.crlf) body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QByteArray bytes;
    if (form.gb18030) {
        QStringEncoder gb(kGb18030);
        bytes = gb.encode(body);
    } else {
        if (form.bom) bytes = "\xEF\xBB\xBF";
        bytes += body.toUtf8();
    }
    return bytes;
}
