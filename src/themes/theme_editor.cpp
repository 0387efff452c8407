#include "theme_editor.h"

#include "clock_chooser.h"
#include "clock_files.h"
#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/counter_select_window.h"
#include "core/ui/dialogs.h"
#include "header_editor.h"
#include "layout_designer.h"
#include "theme_fields.h"
#include "theme_ops.h"
#include "theme_preview.h"
#include "theme_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tv {

namespace {
// Fields whose check runs when they lose the focus.
const char* const checkedOnLeave[] = {"txtColumn", "txtRow", "txtRHeight", "tblLine", "txtVol"};
// The preview follows typing after this pause, not at every key.
constexpr int previewDelayMs = 250;
} // namespace

ThemeEditor::ThemeEditor(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), m_station(station), m_previewTimer(new QTimer(this)),
      m_clockFolder(clocks::folder()) {
    setObjectName(QStringLiteral("frmTheme"));
    setWindowTitle(QStringLiteral("Theme"));
    m_lblRef = controls::label(this, "lblRef");
    m_lblRef->hide();
    build();

    // Load: the slide duration from the station, the lists, the starting texts.
    m_txtTime->setText(m_station.settings().text(keys::PictureDuration, m_txtTime->text()));
    addSize();
    addFont();
    const QList<theme::Field>& fields = theme::fields();
    const QStringList start = theme::startTexts();
    for (int i = 0; i < fields.size(); ++i)
        setText(QLatin1String(fields.at(i).control), start.at(i));
    static_cast<QComboBox*>(field(QStringLiteral("cmbType")))->setCurrentIndex(0);

    for (const char* name : checkedOnLeave)
        field(QLatin1String(name))->installEventFilter(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(previewDelayMs);
    connect(m_previewTimer, &QTimer::timeout, this, &ThemeEditor::refreshPreview);
    for (QWidget* w : std::as_const(m_fields)) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, &ThemeEditor::fieldChanged);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            connect(c, &QComboBox::currentTextChanged, this, &ThemeEditor::fieldChanged);
        else if (auto* b = qobject_cast<QCheckBox*>(w))
            connect(b, &QCheckBox::toggled, this, &ThemeEditor::fieldChanged);
        else if (auto* s = qobject_cast<Swatch*>(w))
            connect(s, &Swatch::changed, this, &ThemeEditor::fieldChanged);
    }
    updateButtons();
    field(QStringLiteral("txtName"))->setFocus();
}

ThemeEditor::~ThemeEditor() {
    // The preview's board is a window of its own: it goes with us.
    delete m_preview.data();
}

ThemePreviewWindow* ThemeEditor::previewWindow() const {
    return m_preview;
}
LayoutDesigner* ThemeEditor::designer() const {
    return m_designer;
}
ClockChooser* ThemeEditor::clockChooser() const {
    return m_clock;
}
HeaderEditor* ThemeEditor::headerEditor() const {
    return m_header;
}
CounterSelectWindow* ThemeEditor::counterWindow() const {
    return m_counters;
}

QString ThemeEditor::ref() const {
    return m_lblRef->text();
}

qint64 ThemeEditor::refKey() const {
    return ThemeOps::keyOf(ref()).value_or(0);
}

void ThemeEditor::setRef(const QString& key) {
    m_lblRef->setText(key);
    updateButtons();
}

void ThemeEditor::addNew() {
    setRef(QString());
    // A new theme chooses its display type; only a saved one keeps its own.
    field(QStringLiteral("cmbType"))->setEnabled(true);
    fieldChanged();
}

void ThemeEditor::updateButtons() {
    // These belong to a saved theme: its number is what they work on.
    const bool saved = refKey() > 0;
    const QString why = saved ? QString() : QStringLiteral("Save the theme first");
    for (QPushButton* b : {m_position, m_selectCounter, m_headerButton}) {
        b->setEnabled(saved);
        b->setToolTip(why);
    }
}

bool ThemeEditor::guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return false;
    }
}

QString ThemeEditor::text(const QString& control) const {
    QWidget* w = field(control);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* b = qobject_cast<QCheckBox*>(w))
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* s = qobject_cast<Swatch*>(w)) return QString::number(s->value());
    return {};
}

void ThemeEditor::setText(const QString& control, const QString& value) {
    QWidget* w = field(control);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(value);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable()) {
            c->setEditText(value);
        } else {
            // A type this list does not offer is kept, not lost at the next save.
            if (c->findText(value) < 0) c->addItem(value);
            c->setCurrentIndex(c->findText(value));
        }
    } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
        b->setChecked(value.trimmed() == QStringLiteral("1"));
    } else if (auto* s = qobject_cast<Swatch*>(w)) {
        s->setValue(static_cast<quint32>(value.trimmed().toLongLong()));
    }
}

QStringList ThemeEditor::texts() const {
    QStringList out;
    for (const theme::Field& f : theme::fields())
        out.append(text(QLatin1String(f.control)));
    return out;
}

void ThemeEditor::getData() {
    guarded([this] {
        const ThemeOps::Loaded loaded = ThemeOps(m_station).getData(ref());
        if (!loaded.found) return;
        // The display type of a saved theme stays as it is.
        field(QStringLiteral("cmbType"))->setEnabled(false);
        const QList<theme::Field>& fields = theme::fields();
        for (int i = 0; i < fields.size(); ++i)
            if (loaded.values.value(i))
                setText(QLatin1String(fields.at(i).control), *loaded.values.at(i));
    });
    updateButtons();
    refreshPreview();
}

bool ThemeEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched->isWidgetType()) leave(watched->objectName());
    return QWidget::eventFilter(watched, event);
}

void ThemeEditor::leave(const QString& control) {
    if (control == QStringLiteral("txtTime") || control == QStringLiteral("txtint")) {
        QLineEdit* e = control == QStringLiteral("txtTime") ? m_txtTime : m_txtint;
        const QString fixed = theme::onLeaveOther(control, e->text());
        if (fixed != e->text()) e->setText(fixed);
        return;
    }
    if (!field(control)) return;
    const theme::Checked c =
        theme::onLeave(control, text(control), text(QStringLiteral("txtColWidth")));
    if (c.text != text(control)) setText(control, c.text);
    if (control == QStringLiteral("txtColumn") && c.colWidth != text(QStringLiteral("txtColWidth")))
        setText(QStringLiteral("txtColWidth"), c.colWidth);
}

bool ThemeEditor::Command3_Click() {
    // The slide duration is the station's, kept whatever the checks say
    // (checked first, as leaving its box would).
    leave(QStringLiteral("txtTime"));
    m_station.settings().set(keys::PictureDuration, m_txtTime->text());
    QString message;
    qint64 key = 0;
    if (!guarded([&] { message = ThemeOps(m_station).save(ref(), texts(), &key); })) return false;
    if (!message.isEmpty()) {
        Dialogs::message(this, message);
        return false;
    }
    emit saved();
    hide();
    return true;
}

void ThemeEditor::Command4_Click() {
    if (refKey() <= 0) return;
    if (m_designer) m_designer->close();
    auto* d = new LayoutDesigner(m_station, this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_hallScreen.isEmpty()) d->setScreenSize(m_hallScreen);
    d->setRef(ref());
    d->getData();
    if (text(QStringLiteral("cmbType")) == QStringLiteral("Vertical"))
        d->ver();
    else
        d->hor();
    // A layout saved there shows in the preview.
    connect(d, &LayoutDesigner::saved, this, &ThemeEditor::refreshPreview);
    m_designer = d;
    d->show();
    d->raise();
}

void ThemeEditor::Command5_Click() {
    if (!m_clock) {
        auto* c = new ClockChooser(m_station, m_clockFolder, this);
        c->setAttribute(Qt::WA_DeleteOnClose);
        connect(c, &ClockChooser::chosen, this,
                [this](const QString& name) { setText(QStringLiteral("txtFormat"), name); });
        m_clock = c;
    }
    m_clock->show();
    m_clock->raise();
}

void ThemeEditor::Command11_Click() {
    if (refKey() <= 0) return;
    if (m_counters) m_counters->close();
    auto* w = new CounterSelectWindow(m_station, static_cast<int>(refKey()), this);
    w->setWindowFlag(Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    m_counters = w;
    w->show();
    w->raise();
}

void ThemeEditor::Command6_Click() {
    if (refKey() <= 0) return;
    if (m_header) m_header->close();
    bool ok = false;
    const int columns = text(QStringLiteral("txtColumn")).trimmed().toInt(&ok);
    auto* h = new HeaderEditor(m_station, refKey(), ok ? columns : 2, this);
    h->setAttribute(Qt::WA_DeleteOnClose);
    connect(h, &HeaderEditor::saved, this, &ThemeEditor::refreshPreview);
    m_header = h;
    h->show();
    h->raise();
}

void ThemeEditor::pick(const QString& control) {
    const QString filter = theme::dialogFilter(theme::pickerFilter(control));
    const QString chosen = Dialogs::openFileName(this, QString(), filter);
    // Cancelled: the field keeps its file.
    if (!chosen.isEmpty()) setText(control, chosen);
}

void ThemeEditor::fieldChanged() {
    if (m_preview && m_preview->isVisible()) m_previewTimer->start();
}

void ThemeEditor::showPreview() {
    if (!m_preview) {
        // A window of its own, beside the editor rather than on top of it.
        m_preview = new ThemePreviewWindow(m_station);
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
    }
    refreshPreview();
    m_preview->show();
    m_preview->raise();
}

bool ThemeEditor::previewPending() const {
    return m_previewTimer->isActive();
}

void ThemeEditor::refreshPreview() {
    m_previewTimer->stop();
    if (!m_preview) return;
    m_preview->setPreview(buildPreview(m_station, texts(), ref(), m_clockFolder, m_hallScreen));
}

} // namespace tv
