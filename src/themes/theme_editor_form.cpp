// The theme editor's fields, made in the order the tab key walks them: down
// each column, then on to the next, the buttons last.
#include "core/ui/controls.h"
#include "theme_editor.h"
#include "theme_fields.h"
#include "theme_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

using controls::button;

namespace {
QFormLayout* form(QGroupBox* box) {
    auto* f = new QFormLayout(box);
    f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return f;
}

QGroupBox* group(QWidget* parent, const QString& title) {
    return new QGroupBox(title, parent);
}
} // namespace

QLineEdit* ThemeEditor::lineEdit(const char* name, const QString& text) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(QLatin1String(name));
    m_fields.insert(QLatin1String(name), e);
    return e;
}

QComboBox* ThemeEditor::fontList(const char* name, bool showsItsFont) {
    auto* c = new QComboBox(this);
    c->setObjectName(QLatin1String(name));
    // A font a theme names stays named even where it is not installed.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumContentsLength(14);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (showsItsFont)
        connect(c, &QComboBox::currentTextChanged, c, [c](const QString& family) {
            QFont f = c->font();
            if (!family.trimmed().isEmpty()) f.setFamily(family);
            c->lineEdit()->setFont(f);
        });
    m_fields.insert(QLatin1String(name), c);
    m_fontLists.append(c);
    return c;
}

QComboBox* ThemeEditor::sizeList(const char* name) {
    auto* c = new QComboBox(this);
    c->setObjectName(QLatin1String(name));
    // A size the list does not offer (15, 36.5) can be typed.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumContentsLength(4);
    m_fields.insert(QLatin1String(name), c);
    m_sizeLists.append(c);
    return c;
}

QWidget* ThemeEditor::pathRow(const char* name, const char* buttonName) {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto* field = new PathField(row, name);
    m_fields.insert(QLatin1String(name), field);
    h->addWidget(field, 1);
    auto* b = button(row, buttonName, QStringLiteral("--"));
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("----")) + 12);
    b->setToolTip(QStringLiteral("Choose the file"));
    const QString control = QLatin1String(name);
    connect(b, &QPushButton::clicked, this, [this, control] { pick(control); });
    h->addWidget(b);
    return row;
}

void ThemeEditor::build() {
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildLeftColumn());
    columns->addWidget(buildTableColumn());
    columns->addWidget(buildFontColumn());
    columns->addWidget(buildMediaColumn());
    // The swatches hold the theme's colours: they are fields like the rest.
    for (Swatch* s : findChildren<Swatch*>())
        m_fields.insert(s->objectName(), s);

    m_save = button(this, "Command3", QStringLiteral("Save"));
    m_position = button(this, "Command4", QStringLiteral("Position"));
    m_selectCounter = button(this, "Command11", QStringLiteral("Select Counter"));
    m_headerButton = button(this, "Command6", QStringLiteral("Header"));
    m_scroll = button(this, "Command8", QStringLiteral("Scroll Settings"));
    m_scroll->setEnabled(false);
    m_scroll->setToolTip(QStringLiteral(
        "Scroll settings have no function yet: the news band's messages are kept in Scroll News, "
        "and the title's scrolling is the Scroll box of the title"));
    m_previewButton = button(this, "cmdPreview", QStringLiteral("Preview"));
    m_previewButton->setToolTip(QStringLiteral("Shows the board as these fields make it"));
    m_close = button(this, "cmdClose", QStringLiteral("Close"));
    connect(m_save, &QPushButton::clicked, this, &ThemeEditor::Command3_Click);
    connect(m_position, &QPushButton::clicked, this, &ThemeEditor::Command4_Click);
    connect(m_selectCounter, &QPushButton::clicked, this, &ThemeEditor::Command11_Click);
    connect(m_headerButton, &QPushButton::clicked, this, &ThemeEditor::Command6_Click);
    connect(m_previewButton, &QPushButton::clicked, this, &ThemeEditor::showPreview);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_position, m_selectCounter, m_headerButton, m_scroll, m_previewButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addStretch();
    layout->addLayout(buttons);
}

QWidget* ThemeEditor::buildLeftColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    QGroupBox* table = group(column, QStringLiteral("Display"));
    QFormLayout* f = form(table);
    f->addRow(QStringLiteral("Name"), lineEdit("txtName"));
    auto* type = new QComboBox(this);
    type->setObjectName(QStringLiteral("cmbType"));
    type->addItems({QStringLiteral("Vertical"), QStringLiteral("Horrizontal")});
    type->setToolTip(QStringLiteral("Vertical: a portrait screen. Fixed once the theme is saved."));
    m_fields.insert(QStringLiteral("cmbType"), type);
    f->addRow(QStringLiteral("DisplayType"), type);
    f->addRow(QStringLiteral("Colums"), lineEdit("txtColumn"));
    f->addRow(QStringLiteral("Rows"), lineEdit("txtRow"));
    QLineEdit* widths = lineEdit("txtColWidth");
    widths->setToolTip(QStringLiteral("One width a column, separated by \";\": 2500;2500"));
    f->addRow(QStringLiteral("Column Width"), widths);
    f->addRow(QStringLiteral("Row Height"), lineEdit("txtRHeight"));
    f->addRow(QStringLiteral("Line Width"), lineEdit("tblLine"));
    f->addRow(QStringLiteral("Screen BG"), new Swatch(this, "lblBG", QStringLiteral("Screen BG")));
    v->addWidget(table);

    QGroupBox* title = group(column, QStringLiteral("Title"));
    f = form(title);
    f->addRow(QStringLiteral("Heading"), lineEdit("txtttl"));
    f->addRow(QStringLiteral("Font Name"), fontList("cmbTtlFont", true));
    f->addRow(QStringLiteral("Font Size"), sizeList("cmbTtlSize"));
    f->addRow(QStringLiteral("Font Color"),
              new Swatch(this, "lblttlClr", QStringLiteral("Font Color (Title)")));
    auto* scroll = new QCheckBox(QStringLiteral("Scroll"), this);
    scroll->setObjectName(QStringLiteral("chkScroll"));
    m_fields.insert(QStringLiteral("chkScroll"), scroll);
    f->addRow(QString(), scroll);
    v->addWidget(title);

    v->addStretch();
    return column;
}

QWidget* ThemeEditor::buildTableColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    QGroupBox* table = group(column, QStringLiteral("Table Settings"));
    QFormLayout* f = form(table);
    f->addRow(QStringLiteral("BG Color"), new Swatch(this, "lblBGClr", QStringLiteral("BG Color")));
    f->addRow(QStringLiteral("Line Color"),
              new Swatch(this, "lblLClr", QStringLiteral("Line Color")));
    f->addRow(QStringLiteral("Alt Row Color"),
              new Swatch(this, "lblARClr", QStringLiteral("Alt Row Color")));
    f->addRow(QStringLiteral("Background"), pathRow("txtTbkBack", "cmdTbkBack"));
    v->addWidget(table);

    QGroupBox* header = group(column, QStringLiteral("Header Deatils"));
    f = form(header);
    auto* enable = new QCheckBox(QStringLiteral("Enable Header"), this);
    enable->setObjectName(QStringLiteral("chkHeader"));
    m_fields.insert(QStringLiteral("chkHeader"), enable);
    f->addRow(QString(), enable);
    f->addRow(QStringLiteral("Column1"), lineEdit("Text1"));
    f->addRow(QStringLiteral("Column2"), lineEdit("Text2"));
    f->addRow(QStringLiteral("Font"), fontList("cmbHFont", true));
    f->addRow(QStringLiteral("Font Size"), sizeList("cmbHFSize"));
    f->addRow(QStringLiteral("Font Color"),
              new Swatch(this, "lblHClr", QStringLiteral("Font Color (header)")));
    f->addRow(QStringLiteral("Header BG"),
              new Swatch(this, "lblHBGClr", QStringLiteral("Header BG")));
    f->addRow(QStringLiteral("Header img"), pathRow("txtImg1", "cmdImg1"));
    f->addRow(QStringLiteral("Detail img"), pathRow("txtImg2", "cmdImg2"));
    v->addWidget(header);
    v->addStretch();
    return column;
}

QWidget* ThemeEditor::buildFontColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    QGroupBox* first = group(column, QStringLiteral("First Column"));
    QFormLayout* f = form(first);
    f->addRow(QStringLiteral("Row Font"), fontList("cmbRowFont", true));
    f->addRow(QStringLiteral("Font Size"), sizeList("cmbRFsize"));
    f->addRow(QStringLiteral("Font Color"),
              new Swatch(this, "lblRFcolor", QStringLiteral("Font Color (First Column)")));
    f->addRow(QStringLiteral("Back Color"),
              new Swatch(this, "lblRDClr", QStringLiteral("Back Color (First Column)")));
    v->addWidget(first);

    QGroupBox* second = group(column, QStringLiteral("Second Column"));
    f = form(second);
    f->addRow(QStringLiteral("Font"), fontList("cmbVFont", true));
    f->addRow(QStringLiteral("Font Size"), sizeList("cmbVFSize"));
    f->addRow(QStringLiteral("Font Color"),
              new Swatch(this, "lblVFColor", QStringLiteral("Font Color (Second Column)")));
    f->addRow(QStringLiteral("Back Color"),
              new Swatch(this, "lblVBGClr", QStringLiteral("Back Color (Second Column)")));
    v->addWidget(second);

    QGroupBox* time = group(column, QStringLiteral("Time Settings"));
    f = form(time);
    auto* show = new QCheckBox(QStringLiteral("Display Time"), this);
    show->setObjectName(QStringLiteral("chktime"));
    m_fields.insert(QStringLiteral("chktime"), show);
    f->addRow(QString(), show);
    f->addRow(QStringLiteral("Format Time"), lineEdit("txtTformat"));
    auto* clockRow = new QWidget(this);
    auto* h = new QHBoxLayout(clockRow);
    h->setContentsMargins(0, 0, 0, 0);
    auto* clockFile = new PathField(clockRow, "txtFormat");
    m_fields.insert(QStringLiteral("txtFormat"), clockFile);
    h->addWidget(clockFile, 1);
    m_selectClock = button(clockRow, "Command5", QStringLiteral("Select Clock"));
    connect(m_selectClock, &QPushButton::clicked, this, &ThemeEditor::Command5_Click);
    h->addWidget(m_selectClock);
    f->addRow(QStringLiteral("Clock"), clockRow);
    f->addRow(QStringLiteral("Font Name"), fontList("cmbFont", false));
    f->addRow(QStringLiteral("Font Size"), sizeList("cmbTSize"));
    f->addRow(QStringLiteral("ForeColor"),
              new Swatch(this, "lblTClr", QStringLiteral("ForeColor (Time Settings)")));
    v->addWidget(time);
    v->addStretch();
    return column;
}

QWidget* ThemeEditor::buildMediaColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    QGroupBox* media = group(column, QStringLiteral("Media"));
    QFormLayout* f = form(media);
    f->addRow(QStringLiteral("Logo"), pathRow("txtlogo", "cmdLogo"));
    f->addRow(QStringLiteral("Video To Display"), pathRow("txtVideo", "cmdVideo"));
    f->addRow(QStringLiteral("Online Video"), lineEdit("txtOnline"));
    f->addRow(QStringLiteral("Volume"), lineEdit("txtVol"));
    auto* movie = new QCheckBox(QStringLiteral("Enable Movie"), this);
    movie->setObjectName(QStringLiteral("chkMovie"));
    m_fields.insert(QStringLiteral("chkMovie"), movie);
    f->addRow(QString(), movie);
    f->addRow(QStringLiteral("News BG"), new Swatch(this, "lblNewsBG", QStringLiteral("News BG")));
    m_txtTime = new QLineEdit(QStringLiteral("5"), this);
    m_txtTime->setObjectName(QStringLiteral("txtTime"));
    m_txtTime->setToolTip(QStringLiteral("Seconds each picture of the video area stays; kept for "
                                         "this station, not in the theme"));
    m_txtTime->installEventFilter(this);
    f->addRow(QStringLiteral("Picture Slide Duration"), m_txtTime);
    v->addWidget(media);

    QGroupBox* other = group(column, QStringLiteral("Screen"));
    f = form(other);
    auto* resolution = new QWidget(this);
    auto* h = new QHBoxLayout(resolution);
    h->setContentsMargins(0, 0, 0, 0);
    auto* text3 = new QLineEdit(QStringLiteral("1024"), resolution);
    text3->setObjectName(QStringLiteral("Text3"));
    auto* text4 = new QLineEdit(QStringLiteral("768"), resolution);
    text4->setObjectName(QStringLiteral("Text4"));
    for (QLineEdit* e : {text3, text4}) {
        e->setToolTip(QStringLiteral("Not used: the board covers the screen it is shown on"));
        e->setMaximumWidth(70);
    }
    h->addWidget(text3);
    h->addWidget(new QLabel(QStringLiteral("x"), resolution));
    h->addWidget(text4);
    h->addStretch();
    f->addRow(QStringLiteral("Screen Resolution"), resolution);
    m_txtint = new QLineEdit(QStringLiteral("3000"), this);
    m_txtint->setObjectName(QStringLiteral("txtint"));
    m_txtint->setToolTip(QStringLiteral("Not used by the board"));
    m_txtint->installEventFilter(this);
    f->addRow(QStringLiteral("Page Intervel (milli Sec)"), m_txtint);
    v->addWidget(other);
    v->addStretch();
    return column;
}

void ThemeEditor::addFont() {
    const QStringList families = QFontDatabase::families();
    for (QComboBox* c : m_fontLists) {
        const QString was = c->currentText();
        c->clear();
        c->addItems(families);
        c->setCurrentIndex(-1);
        c->setEditText(was);
    }
}

void ThemeEditor::addSize() {
    for (QComboBox* c : m_sizeLists) {
        const QString was = c->currentText();
        c->clear();
        c->addItems(theme::sizeList());
        c->setCurrentIndex(-1);
        c->setEditText(was);
    }
}

} // namespace tv
