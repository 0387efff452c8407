// Paints the stock kiosk button picture: a soft blue gradient with a light
// frame, stretched over every button by the kiosk.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    QImage img(600, 120, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, img.height());
    g.setColorAt(0.0, QColor(0xe8, 0xf3, 0xfb));
    g.setColorAt(0.5, QColor(0xb9, 0xd9, 0xf0));
    g.setColorAt(1.0, QColor(0x8c, 0xbf, 0xe6));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(QColor(0x3a, 0x7c, 0xb0), 6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(img.rect()).adjusted(4, 4, -4, -4), 18, 18);
    p.end();
    QDir().mkpath(QFileInfo(out).path());
    return img.save(out, "JPG", 90) ? 0 : 1;
}
