#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tv {

class Station;
class VoicePlayer;

// "Settings": the station's ticket screen, printer, display, announcement
// and live video settings, in one modal window.
class SettingsScreen final : public QDialog {
    Q_OBJECT

public:
    // `player` plays the "Test" announcements; the screen makes its own when
    // none is given (tests give a recording one).
    explicit SettingsScreen(Station& station, VoicePlayer* player = nullptr,
                            QWidget* parent = nullptr);
    ~SettingsScreen() override;

    // Where the lists come from; tests choose (printers, capture sources).
    static std::function<QStringList()> printerNames;
    static std::function<QStringList()> videoSources;

    bool saveData();
    // Plays announcement format 1 or 2 as a test: the number read is 12.
    void test(int which);
    // The files a test of `format` plays, and its voice.
    static QStringList testFiles(const QString& format, QString* voiceName);

    static inline const QString noPrinter = QStringLiteral("(No Printer Installed)");

private:
    void load();
    QLineEdit* numberBox(const char* name);

    Station& m_station;
    std::unique_ptr<VoicePlayer> m_ownPlayer;
    VoicePlayer* m_player;
    QComboBox* m_cmbPrinter;
    QLineEdit* m_txtRHeight;
    QLineEdit* m_txtSpeed;
    QComboBox* m_cmbTheme;
    QComboBox* m_cmbScreen;
    QComboBox* m_cmbCut;
    QLineEdit* m_txtPrint;
    QComboBox* m_cmbTicket;
    QComboBox* m_cmbService;
    QCheckBox* m_chkAuto;
    QLineEdit* m_txtVoice1;
    QLineEdit* m_txtVoice2;
    QCheckBox* m_chkEnable;
    QComboBox* m_cmbSource;
};

} // namespace tv
