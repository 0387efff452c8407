#include "settings_screen.h"

#include "core/db_error.h"
#include "core/lookups.h"
#include "core/recordset.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "display/number_speech.h"
#include "display/voice_player.h"

#include <QCameraDevice>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace tv {

namespace {
const QString voice1Default = QStringLiteral("english|ding|token|*|please|roomno|#");
const QString voice2Default = QStringLiteral("hindi|ding|token|*|please|roomno|#|go");

// Numbers the stations accept: the kiosk, the ticker and the printer work within these.
struct Range {
    const char* label;
    int low;
    int high;
};
constexpr Range rowHeights{"Screen Row Height", 100, 32667};
constexpr Range speeds{"Scroll Speed", 1, 500};
constexpr Range copies{"No. Print", 1, 10};

bool numeric(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(d);
}

// The message for a number out of the stations' range, "" when it fits.
QString outOfRange(const QString& text, const Range& r) {
    const double d = text.trimmed().toDouble();
    if (d == std::floor(d) && d >= r.low && d <= r.high) return {};
    return QStringLiteral("%1 must be a whole number from %2 to %3")
        .arg(QLatin1String(r.label))
        .arg(r.low)
        .arg(r.high);
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items = {}) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->addItems(items);
    return c;
}
} // namespace

std::function<QStringList()> SettingsScreen::printerNames = [] {
    return QPrinterInfo::availablePrinterNames();
};

std::function<QStringList()> SettingsScreen::videoSources = [] {
    QStringList names;
    for (const QCameraDevice& d : QMediaDevices::videoInputs())
        names << d.description();
    return names;
};

SettingsScreen::SettingsScreen(Station& station, VoicePlayer* player, QWidget* parent)
    : QDialog(parent), m_station(station), m_player(player) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    if (!m_player) {
        m_ownPlayer = std::make_unique<MediaVoicePlayer>();
        m_player = m_ownPlayer.get();
    }

    m_cmbPrinter = list(this, "cmbPrinter");
    m_txtRHeight = numberBox("txtRHeight");
    m_txtSpeed = numberBox("txtSpeed");
    m_cmbTheme = list(this, "cmbTheme");
    m_cmbTheme->setEditable(true); // a stored theme that is gone still shows as text
    m_cmbTheme->setInsertPolicy(QComboBox::NoInsert);
    m_cmbScreen = list(this, "cmbScreen", {QStringLiteral("Dual"), QStringLiteral("Single")});
    m_cmbCut = list(this, "cmbCut", {QStringLiteral("Full"), QStringLiteral("Partial")});
    m_txtPrint = numberBox("txtPrint");
    m_cmbTicket =
        list(this, "cmbTicket", {QStringLiteral("Normal"), QStringLiteral("Full Screen")});
    m_cmbService = list(this, "cmbService");
    m_chkAuto = new QCheckBox(QStringLiteral("Auto -Start Display"), this);
    m_chkAuto->setObjectName(QStringLiteral("chkAuto"));
    m_txtVoice1 = new QLineEdit(voice1Default, this);
    m_txtVoice1->setObjectName(QStringLiteral("txtVoice1"));
    m_txtVoice2 = new QLineEdit(voice2Default, this);
    m_txtVoice2->setObjectName(QStringLiteral("txtVoice2"));
    m_chkEnable = new QCheckBox(QStringLiteral("Enable Input"), this);
    m_chkEnable->setObjectName(QStringLiteral("chkEnable"));
    m_cmbSource = list(this, "cmbSource");
    for (QComboBox* c : {m_cmbPrinter, m_cmbService, m_cmbSource})
        c->setMinimumContentsLength(24);

    auto* test1 = controls::button(this, "cmdTest1", QStringLiteral("Test"));
    auto* test2 = controls::button(this, "cmdTest2", QStringLiteral("Test"));
    auto* save = controls::button(this, "Command1", QStringLiteral("Save"));
    auto* close = controls::button(this, "Command3", QStringLiteral("Command3"));

    auto* general = new QGroupBox(QStringLiteral("Ticket and display"), this);
    auto* form = new QFormLayout(general);
    form->addRow(QStringLiteral("Select Printer"), m_cmbPrinter);
    form->addRow(QStringLiteral("No. Print"), m_txtPrint);
    form->addRow(QStringLiteral("Ticket"), m_cmbTicket);
    form->addRow(QStringLiteral("Screen Row Height"), m_txtRHeight);
    form->addRow(QStringLiteral("Default Transfer"), m_cmbService);
    form->addRow(QStringLiteral("Theme"), m_cmbTheme);
    form->addRow(QStringLiteral("Screen Mode"), m_cmbScreen);
    form->addRow(QStringLiteral("Label Cut"), m_cmbCut);
    form->addRow(QStringLiteral("Scroll Speed"), m_txtSpeed);
    form->addRow(QString(), m_chkAuto);
    auto* voices = new QGroupBox(QStringLiteral("Announcements"), this);
    auto* voiceForm = new QFormLayout(voices);
    const auto withTest = [](QLineEdit* box, QPushButton* button) {
        auto* row = new QHBoxLayout;
        row->addWidget(box, 1);
        row->addWidget(button);
        return row;
    };
    voiceForm->addRow(QStringLiteral("Voice Lang.1"), withTest(m_txtVoice1, test1));
    voiceForm->addRow(QStringLiteral("Voice Lang 2"), withTest(m_txtVoice2, test2));
    auto* video = new QGroupBox(QStringLiteral(" Live Video"), this);
    auto* videoForm = new QFormLayout(video);
    videoForm->addRow(QString(), m_chkEnable);
    videoForm->addRow(QStringLiteral("Input Source"), m_cmbSource);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(voices);
    layout->addWidget(video);
    layout->addLayout(buttons);

    connect(m_chkEnable, &QCheckBox::toggled, m_cmbSource, &QWidget::setEnabled);
    connect(test1, &QPushButton::clicked, this, [this] { test(1); });
    connect(test2, &QPushButton::clicked, this, [this] { test(2); });
    connect(save, &QPushButton::clicked, this, &SettingsScreen::saveData);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

SettingsScreen::~SettingsScreen() = default;

QLineEdit* SettingsScreen::numberBox(const char* name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(12);
    return box;
}

void SettingsScreen::load() {
    const StationSettings& s = m_station.settings();
    m_txtVoice1->setText(s.text(keys::VoiceFormat1, voice1Default));
    m_txtVoice2->setText(s.text(keys::VoiceFormat2, voice2Default));
    m_chkAuto->setChecked(s.number(keys::DisplayAuto) == 1);
    // From here on a list that cannot be filled stays empty.
    QStringList printers = printerNames();
    if (printers.isEmpty()) printers << noPrinter;
    m_cmbPrinter->addItems(printers);
    try {
        for (RecordSet rs(m_station.dbConnection, QStringLiteral("select themeName from tbltheme"));
             !rs.eof(); rs.moveNext())
            m_cmbTheme->addItem(rs.textOrEmpty(0));
        for (RecordSet rs(m_station.dbConnection,
                          QStringLiteral("Select * from tblcounter where active='1'"));
             !rs.eof(); rs.moveNext())
            m_cmbService->addItem(rs.textOrEmpty(2));
    } catch (const DbError&) {
    }
    m_cmbSource->addItems(videoSources());

    m_cmbPrinter->setCurrentText(s.text(keys::PrinterName));
    m_txtRHeight->setText(s.text(keys::PrinterRow));
    m_txtSpeed->setText(s.text(keys::ScrollSpeed));
    m_cmbTheme->setCurrentText(s.text(keys::ThemeName, QStringLiteral("Black H")));
    m_cmbScreen->setCurrentText(s.text(keys::ThemeScreen));
    m_cmbCut->setCurrentText(s.text(keys::ThemeCut));
    m_txtPrint->setText(s.text(keys::PrintCopies));
    m_cmbTicket->setCurrentText(s.text(keys::TicketScreen));
    m_cmbService->setCurrentIndex(m_cmbService->findText(s.text(keys::TicketTransfer)));
    m_chkEnable->setChecked(s.text(keys::VideoIn) == QStringLiteral("1"));
    m_cmbSource->setEnabled(m_chkEnable->isChecked());
    const int source = s.number(keys::VideoSource);
    m_cmbSource->setCurrentIndex(source >= 0 && source < m_cmbSource->count() ? source : -1);
    // Leaving "No. Print": what is not a number becomes 1.
    connect(m_txtPrint, &QLineEdit::editingFinished, this, [this] {
        if (!numeric(m_txtPrint->text())) m_txtPrint->setText(QStringLiteral("1"));
    });
}

bool SettingsScreen::saveData() {
    StationSettings& s = m_station.settings();
    s.set(keys::DisplayAuto, m_chkAuto->isChecked() ? 1 : 0);
    if (!numeric(m_txtRHeight->text())) m_txtRHeight->setText(QStringLiteral("500"));
    if (!numeric(m_txtSpeed->text())) m_txtSpeed->setText(QStringLiteral("30"));
    if (!numeric(m_txtPrint->text())) m_txtPrint->setText(QStringLiteral("1"));
    // Numbers the stations cannot work with are refused before anything else
    // is stored: the window keeps what was typed.
    for (const auto& [box, range] :
         {std::pair{m_txtRHeight, rowHeights}, std::pair{m_txtSpeed, speeds},
          std::pair{m_txtPrint, copies}}) {
        if (const QString why = outOfRange(box->text(), range); !why.isEmpty()) {
            Dialogs::message(this, why);
            box->setFocus();
            return false;
        }
    }
    if (m_cmbTheme->currentText().isEmpty()) {
        Dialogs::message(this, QStringLiteral("Cannot Save Please select a Theme"));
        s.set(keys::ScrollSpeed, m_txtSpeed->text().trimmed());
        return false;
    }
    s.set(keys::TicketScreen, m_cmbTicket->currentText());
    s.set(keys::TicketTransfer, m_cmbService->currentText());
    s.set(keys::PrintCopies, m_txtPrint->text().trimmed());
    s.set(keys::PrinterName, m_cmbPrinter->currentText());
    s.set(keys::PrinterRow, m_txtRHeight->text().trimmed());
    s.set(keys::ScrollSpeed, m_txtSpeed->text().trimmed());
    s.set(keys::VoiceFormat1, m_txtVoice1->text());
    s.set(keys::VoiceFormat2, m_txtVoice2->text());
    s.set(keys::ThemeName, m_cmbTheme->currentText());
    s.set(keys::ThemeScreen, m_cmbScreen->currentText());
    s.set(keys::ThemeCut, m_cmbCut->currentText());
    s.set(keys::VideoIn, m_chkEnable->isChecked() ? 1 : 0);
    s.set(keys::VideoSource, m_cmbSource->currentIndex());
    try {
        m_station.themeNo =
            lookups::getThemeId(m_station, s.text(keys::ThemeName, QStringLiteral("Black")));
    } catch (const DbError&) {
        m_station.themeNo = 0;
    }
    // The open kiosk takes its copies from here on.
    emit m_station.settingsSaved();
    accept();
    return true;
}

QStringList SettingsScreen::testFiles(const QString& format, QString* voiceName) {
    const QStringList fields = format.split(u'|');
    const QString voice = fields.value(0);
    if (voiceName) *voiceName = voice;
    QStringList names;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        // The token and the counter are both read as 12, the one way.
        if (fields[i] == u"*" || fields[i] == u"#")
            names += speakNumber(QStringLiteral("12"));
        else
            names << fields[i];
    }
    return voiceFilePaths(voice, names);
}

void SettingsScreen::test(int which) {
    const QString format = (which == 1 ? m_txtVoice1 : m_txtVoice2)->text();
    // Played in the background: the window stays usable while it speaks.
    m_player->play(testFiles(format, &m_station.voiceName));
}

} // namespace tv
