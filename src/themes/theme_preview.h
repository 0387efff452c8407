#pragma once

#include "display/display_board.h"

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <memory>

class QLabel;
class QTimer;

namespace tv {

class Station;

// The hall screen a theme is designed for: the station's own screen, as the
// layout designer takes it (1920 x 1080 where there is none).
QSize hallScreen();

// What the preview shows for a theme's fields, saved or not: the board's
// design (the stored layout and header captions of theme `ref`, the standard
// layout where it has none), sample calls and news, and what the preview had
// to leave out and why.
struct PreviewParts {
    BoardPreview preview;
    QStringList notes;
};
PreviewParts buildPreview(Station& station, const QStringList& texts, const QString& ref,
                          const QString& clockFolder, QSize screen = {});

// Sample calls for `rows` lines: tokens of several services, one with a
// second line under its counter.
QList<CallLine> sampleCalls(int rows);

// The preview window: the same board the hall sees, laid out at the hall
// screen's size off the screen and drawn scaled into this window a few
// times a second, with the notes of what it left out below.
class ThemePreviewWindow final : public QWidget {
    Q_OBJECT

public:
    explicit ThemePreviewWindow(Station& station, QWidget* parent = nullptr);
    ~ThemePreviewWindow() override;

    void setPreview(const PreviewParts& parts);
    DisplayBoard* board() const { return m_board.get(); }
    QStringList notes() const { return m_notes; }
    // Draws the board afresh into the window's picture.
    void grabFrame();
    QImage frame() const { return m_frame; }

private:
    class Screen;

    Station& m_station;
    std::unique_ptr<DisplayBoard> m_board;
    QStringList m_notes;
    QImage m_frame;
    Screen* m_screen;
    QLabel* m_lblNotes;
    QTimer* m_timer;
};

} // namespace tv
