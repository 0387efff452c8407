#pragma once

#include <QWidget>
#include <functional>

class QTimer;

namespace tv {

class Station;

// The first window of the program: artwork for two seconds, then the login.
class SplashWindow final : public QWidget {
    Q_OBJECT

public:
    // What runs when the splash time is up: opens the login window and, when the
    // station logs in by itself ("Display"/"Auto" = 1), runs its login once more.
    using HandOver = std::function<void(Station&)>;

    SplashWindow(Station& station, HandOver handOver, QWidget* parent = nullptr);

    static constexpr int showMilliseconds = 2000;
    QTimer* timer() const { return m_timer; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void timeUp();

    Station& m_station;
    HandOver m_handOver;
    QTimer* m_timer;
};

} // namespace tv
