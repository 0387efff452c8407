#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tv::twips {

namespace {

const QScreen* screen() {
    // Without a GUI application (command-line tools, plain Core tests) there is no screen.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    return QGuiApplication::primaryScreen();
}

double usable(double dpi) {
    return dpi > 0.0 ? dpi : kFallbackDpi;
}

} // namespace

double dpiX() {
    const QScreen* s = screen();
    return usable(s ? s->logicalDotsPerInchX() : kFallbackDpi);
}

double dpiY() {
    const QScreen* s = screen();
    return usable(s ? s->logicalDotsPerInchY() : kFallbackDpi);
}

double perPixelX() {
    return kPerInch / dpiX();
}
double perPixelY() {
    return kPerInch / dpiY();
}

int toPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * usable(dpi) / kPerInch));
}

int fromPixels(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * kPerInch / usable(dpi)));
}

int toPixelsX(int twips) {
    return toPixels(twips, dpiX());
}
int toPixelsY(int twips) {
    return toPixels(twips, dpiY());
}
int fromPixelsX(int pixels) {
    return fromPixels(pixels, dpiX());
}
int fromPixelsY(int pixels) {
    return fromPixels(pixels, dpiY());
}

QPoint toPixels(const QPoint& t) {
    return {toPixelsX(t.x()), toPixelsY(t.y())};
}
QSize toPixels(const QSize& t) {
    return {toPixelsX(t.width()), toPixelsY(t.height())};
}
QRect toPixels(const QRect& t) {
    return {toPixels(t.topLeft()), toPixels(t.size())};
}
QPoint fromPixels(const QPoint& p) {
    return {fromPixelsX(p.x()), fromPixelsY(p.y())};
}
QSize fromPixels(const QSize& p) {
    return {fromPixelsX(p.width()), fromPixelsY(p.height())};
}
QRect fromPixels(const QRect& p) {
    return {fromPixels(p.topLeft()), fromPixels(p.size())};
}

} // namespace tv::twips
