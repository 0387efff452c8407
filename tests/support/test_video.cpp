#include "test_video.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QtEndian>

namespace tv::test {

namespace {
void u32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
void u16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}
QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray c(id, 4);
    u32(c, static_cast<quint32>(body.size()));
    c += body;
    if (body.size() % 2) c.append('\0');
    return c;
}
QByteArray list(const char* type, const QByteArray& body) {
    QByteArray c("LIST", 4);
    u32(c, static_cast<quint32>(body.size() + 4));
    c.append(type, 4);
    c += body;
    return c;
}
} // namespace

bool writeTestVideo(const QString& file, int width, int height, int frames, int fps) {
    QList<QByteArray> jpegs;
    for (int f = 0; f < frames; ++f) {
        QImage image(width, height, QImage::Format_RGB32);
        QPainter p(&image);
        for (int bar = 0; bar < 8; ++bar)
            p.fillRect(bar * width / 8, 0, width / 8 + 1, height,
                       QColor::fromHsv((bar * 45 + f * 6) % 360, 200, 220));
        p.fillRect((f * 8) % width, height / 3, 40, height / 3, Qt::white);
        p.end();
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 80);
        jpegs << jpeg;
    }
    int largest = 0;
    QByteArray movi;
    QByteArray index;
    for (const QByteArray& j : jpegs) {
        u32(index, 0x63643030); // "00dc"
        u32(index, 0x10);       // a key frame
        u32(index, static_cast<quint32>(movi.size() + 4));
        u32(index, static_cast<quint32>(j.size()));
        movi += chunk("00dc", j);
        largest = qMax(largest, int(j.size()));
    }
    QByteArray avih;
    u32(avih, 1000000 / fps);
    u32(avih, static_cast<quint32>(largest * fps));
    u32(avih, 0);
    u32(avih, 0x10); // has an index
    u32(avih, static_cast<quint32>(frames));
    u32(avih, 0);
    u32(avih, 1);
    u32(avih, static_cast<quint32>(largest));
    u32(avih, static_cast<quint32>(width));
    u32(avih, static_cast<quint32>(height));
    for (int i = 0; i < 4; ++i)
        u32(avih, 0);
    QByteArray strh("vidsMJPG", 8);
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    u32(strh, 0);
    u32(strh, 1);
    u32(strh, static_cast<quint32>(fps));
    u32(strh, 0);
    u32(strh, static_cast<quint32>(frames));
    u32(strh, static_cast<quint32>(largest));
    u32(strh, 0xFFFFFFFF);
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    u16(strh, static_cast<quint16>(width));
    u16(strh, static_cast<quint16>(height));
    QByteArray strf;
    u32(strf, 40);
    u32(strf, static_cast<quint32>(width));
    u32(strf, static_cast<quint32>(height));
    u16(strf, 1);
    u16(strf, 24);
    strf.append("MJPG", 4);
    u32(strf, static_cast<quint32>(width * height * 3));
    for (int i = 0; i < 4; ++i)
        u32(strf, 0);
    const QByteArray hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    const QByteArray body =
        QByteArray("AVI ", 4) + hdrl + list("movi", movi) + chunk("idx1", index);
    QByteArray riff("RIFF", 4);
    u32(riff, static_cast<quint32>(body.size()));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    return out.write(riff + body) == riff.size() + body.size();
}

} // namespace tv::test
