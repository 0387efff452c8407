#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Stored geometry (theme positions, grid widths, row heights) is in twips, 1/1440 inch.
// Every conversion to and from pixels goes through here so that one DPI rule applies
// everywhere: the primary screen's logical DPI, or 96 when there is no screen.
namespace tv::twips {

inline constexpr int kPerInch = 1440;
inline constexpr double kFallbackDpi = 96.0;

// The DPI the conversions below use.
double dpiX();
double dpiY();

// 15 at 96 DPI.
double perPixelX();
double perPixelY();

// Pure conversions for a given DPI; the rest of this header builds on them.
int toPixels(int twips, double dpi);
int fromPixels(int pixels, double dpi);

int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);

QPoint toPixels(const QPoint& twips);
QSize toPixels(const QSize& twips);
QRect toPixels(const QRect& twips);
QPoint fromPixels(const QPoint& pixels);
QSize fromPixels(const QSize& pixels);
QRect fromPixels(const QRect& pixels);

} // namespace tv::twips
