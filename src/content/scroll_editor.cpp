#include "scroll_editor.h"

#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/twips.h"
#include "editor_widgets.h"
#include "lock_keys.h"
#include "message_print.h"
#include "message_text.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace tv {

namespace {

// Toolbar pictures drawn here: a letter in its own style, or lines for the
// paragraph commands, so the bar reads the same on every desktop theme.
QIcon letterIcon(const QString& letter, const std::function<void(QFont&)>& style,
                 const QColor& bar = {}) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f(QStringLiteral("Liberation Serif"), 14);
    style(f);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(0, -2, 24, 24), Qt::AlignCenter, letter);
    if (bar.isValid()) p.fillRect(3, 19, 18, 4, bar);
    return QIcon(pm);
}

QIcon linesIcon(Qt::Alignment align, bool bullets = false) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 2));
    const int widths[] = {18, 12, 18, 10};
    for (int i = 0; i < 4; ++i) {
        const int y = 5 + i * 5;
        int w = widths[i], x = 3;
        if (bullets) {
            p.fillRect(3, y - 1, 3, 3, Qt::black);
            x = 9;
            w = 12;
        } else if (align & Qt::AlignHCenter) {
            x = 12 - w / 2;
        } else if (align & Qt::AlignRight) {
            x = 21 - w;
        }
        p.drawLine(x, y, x + w, y);
    }
    return QIcon(pm);
}

QLabel* panel(QStatusBar* bar, const char* name, int minWidth, bool stretch = false) {
    auto* l = controls::label(bar, name);
    l->setMinimumWidth(minWidth);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(stretch ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    if (stretch)
        bar->addWidget(l, 1);
    else
        bar->addPermanentWidget(l);
    return l;
}

} // namespace

ScrollEditor::ScrollEditor(Station& station, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_station(station),
      m_printers(&message_print::machinePrinters) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QStringLiteral(" Scroll Editor."));
    setAcceptDrops(true);
    buildActions();
    buildBody();
    buildMenus();
    buildToolbars();
    buildStatusBar();

    // Opening: the speed the last new message was saved with, direction Left.
    m_cmbSpeed->setCurrentText(
        QString::number(m_station.settings().number(keys::EditorScrollSpeed)));
    m_cmbDir->setCurrentText(QStringLiteral("Left"));
    // As wide as the screen less 1000 twips.
    if (const QScreen* screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        resize(std::max(640, avail.width() - twips::toPixelsX(1000)),
               std::max(480, avail.height() * 4 / 5));
    }
    m_station.openConnection();
    setSwatch(Qt::black);
    m_picture2->setColor(Qt::white);
    loadFonts();
    m_changed = false;
    updateStatus();
    updateClockPanels();
}

ScrollEditor::~ScrollEditor() = default;

QAction* ScrollEditor::action(const char* name, const QString& text, std::function<void()> run) {
    auto* a = new QAction(text, this);
    a->setObjectName(QLatin1String(name));
    if (run)
        connect(a, &QAction::triggered, this, std::move(run));
    else
        a->setEnabled(false); // a command the old editor offered without a function
    return a;
}

void ScrollEditor::buildActions() {
    action("New", QStringLiteral("&New"), [this] { newFile(); })->setShortcut(QKeySequence::New);
    action("Open", QStringLiteral("&Open ..."), [this] {
        openFile();
    })->setShortcut(QKeySequence::Open);
    action("Save", QStringLiteral("&Save"), [this] {
        saveMessage();
    })->setShortcut(QKeySequence::Save);
    action("SaveAs", QStringLiteral("Save &As ..."));
    action("mnuPrint", QStringLiteral("&Print"), [this] {
        printMessage();
    })->setShortcut(QKeySequence::Print);
    action("Print", QStringLiteral("Print"));
    action("mnuExit", QStringLiteral("E&xit"), [this] { exitProgram(); });

    // The text box answers its own editing keys; these are the menu's and the bar's.
    action("Undo", QStringLiteral("Undo"), [this] {
        m_rich->undo();
        m_rich->setFocus();
    });
    action("Cut", QStringLiteral("C&ut"), [this] { clipboardCommand(true); });
    action("Copy", QStringLiteral("&Copy"), [this] { clipboardCommand(false); });
    action("Paste", QStringLiteral("&Paste"), [this] { pastePlainText(); });
    action("Delete", QStringLiteral("&Delete"), [this] {
        m_rich->textCursor().removeSelectedText();
        m_rich->setFocus();
    });
    action("mnuSelectAll", QStringLiteral("&Select All"), [this] {
        m_rich->selectAll();
        m_rich->setFocus();
    });
    action("Find", QStringLiteral("&Find"));
    action("mnuFindNext", QStringLiteral("Find &Next"));
    action("mnuReplace", QStringLiteral("Replace"));

    action("Bold", QStringLiteral("&Bold"), [this] { setBold(); })->setShortcut(QKeySequence::Bold);
    action("Italic", QStringLiteral("&Italic"), [this] {
        setItalic();
    })->setShortcut(QKeySequence::Italic);
    action("Underline", QStringLiteral("&Underline"), [this] {
        setUnderline();
    })->setShortcut(QKeySequence::Underline);
    action("Strikeout", QStringLiteral("&Strikeout"), [this] { setStrikeout(); });
    action("Bullet", QStringLiteral("&Bullets"), [this] { toggleBullets(); });
    action("Left", QStringLiteral("Left Align"), [this] { setAlignment(Qt::AlignLeft); });
    action("Center", QStringLiteral("Center Align"), [this] { setAlignment(Qt::AlignHCenter); });
    action("Right", QStringLiteral("Right Align"), [this] { setAlignment(Qt::AlignRight); });
    action("mnuFont", QStringLiteral("Font ..."), [this] { chooseFont(); });
    action("mnuUpper", QStringLiteral("Upper Case"), [this] { setWordCase(true); });
    action("mnuLower", QStringLiteral("Lower Case"), [this] { setWordCase(false); });
    action("FColor", QStringLiteral("&Fore Colour"), [this] { chooseForeColor(); });
    action("BColor", QStringLiteral("&Back Colour"));

    const auto icon = [this](const char* name, const QIcon& i) { act(name)->setIcon(i); };
    icon("Bold", letterIcon(QStringLiteral("B"), [](QFont& f) { f.setBold(true); }));
    icon("Italic", letterIcon(QStringLiteral("I"), [](QFont& f) { f.setItalic(true); }));
    icon("Underline", letterIcon(QStringLiteral("U"), [](QFont& f) { f.setUnderline(true); }));
    icon("Strikeout", letterIcon(QStringLiteral("S"), [](QFont& f) { f.setStrikeOut(true); }));
    icon("FColor", letterIcon(
                       QStringLiteral("A"), [](QFont&) {}, Qt::red));
    icon("BColor", letterIcon(
                       QStringLiteral("A"), [](QFont&) {}, Qt::yellow));
    icon("Bullet", linesIcon(Qt::AlignLeft, true));
    icon("Left", linesIcon(Qt::AlignLeft));
    icon("Center", linesIcon(Qt::AlignHCenter));
    icon("Right", linesIcon(Qt::AlignRight));
    for (const char* name : {"Bold", "Italic", "Underline", "Strikeout"})
        act(name)->setCheckable(true);
}

QAction* ScrollEditor::act(const char* name) const {
    return findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void ScrollEditor::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addActions({act("New"), act("Open"), act("Save"), act("SaveAs")});
    file->addSeparator();
    file->addAction(act("mnuPrint"));
    file->addSeparator();
    file->addAction(act("mnuExit"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    edit->addAction(act("Undo"));
    edit->addSeparator();
    edit->addActions({act("Cut"), act("Copy"), act("Paste"), act("Delete")});
    edit->addSeparator();
    edit->addAction(act("mnuSelectAll"));
    edit->addSeparator();
    edit->addActions({act("Find"), act("mnuFindNext"), act("mnuReplace")});

    QMenu* format = menuBar()->addMenu(QStringLiteral("F&ormat"));
    format->setObjectName(QStringLiteral("mnuFormat"));
    format->addActions({act("Bold"), act("Italic"), act("Underline"), act("Strikeout")});
    format->addSeparator();
    format->addAction(act("Bullet"));
    QMenu* paragraph = format->addMenu(QStringLiteral("&Paragraph ..."));
    paragraph->addActions({act("Left"), act("Center"), act("Right")});
    format->addAction(act("mnuFont"));
    QMenu* wordCase = format->addMenu(QStringLiteral("Word Case"));
    wordCase->addActions({act("mnuUpper"), act("mnuLower")});
    QMenu* colour = format->addMenu(QStringLiteral("Colour"));
    colour->addActions({act("FColor"), act("BColor")});
}

void ScrollEditor::buildToolbars() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar1"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addActions({act("New"), act("Open"), act("Save"), act("SaveAs"), act("Print")});
    bar->addSeparator();
    bar->addActions(
        {act("Undo"), act("Cut"), act("Copy"), act("Paste"), act("Delete"), act("Find")});
    auto* formatBar = addToolBar(QStringLiteral("Toolbar2"));
    formatBar->setObjectName(QStringLiteral("Toolbar2"));
    formatBar->setMovable(false);
    formatBar->setIconSize(QSize(24, 24));
    formatBar->addActions({act("Bold"), act("Italic"), act("Underline"), act("Strikeout")});
    formatBar->addSeparator();
    formatBar->addActions({act("Bullet"), act("Left"), act("Center"), act("Right")});
    formatBar->addSeparator();
    formatBar->addActions({act("FColor"), act("BColor")});

    addToolBarBreak();
    QToolBar* fonts = addToolBar(QStringLiteral("Toolbar3"));
    fonts->setObjectName(QStringLiteral("Toolbar3"));
    fonts->setMovable(false);
    fonts->addWidget(new QLabel(QStringLiteral(" Font "), fonts));
    fonts->addWidget(m_combo1);
    fonts->addWidget(new QLabel(QStringLiteral(" Size "), fonts));
    fonts->addWidget(m_combo2);
    fonts->addWidget(new QLabel(QStringLiteral(" Style "), fonts));
    fonts->addWidget(m_combo3);
    fonts->addSeparator();
    fonts->addWidget(new QLabel(QStringLiteral(" Colour "), fonts));
    fonts->addWidget(m_picture1);
    fonts->addWidget(new QLabel(QStringLiteral(" Back "), fonts));
    fonts->addWidget(m_picture2);
    fonts->addSeparator();
    fonts->addWidget(new QLabel(QStringLiteral(" Margin "), fonts));
    fonts->addWidget(m_slider1);
}

void ScrollEditor::buildBody() {
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumWidth(200);
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setEditable(true);
    m_combo2->setInsertPolicy(QComboBox::NoInsert);
    m_combo2->setMinimumWidth(70);
    m_combo3 = new QComboBox(this);
    m_combo3->setObjectName(QStringLiteral("Combo3"));
    m_combo3->addItems({QStringLiteral("Normal"), QStringLiteral("Heading1"),
                        QStringLiteral("Heading2"), QStringLiteral("Heading3")});
    m_combo3->setMinimumWidth(100);
    m_picture1 = new ColorSwatch(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setToolTip(QStringLiteral("Text colour of a message from the Unicode News area"));
    m_picture2 = new ColorSwatch(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setCursor(Qt::ArrowCursor);
    m_slider1 = new QSlider(Qt::Horizontal, this);
    m_slider1->setObjectName(QStringLiteral("Slider1"));
    m_slider1->setRange(0, 2000);
    m_slider1->setFixedWidth(160);
    m_slider1->setToolTip(QStringLiteral("Right margin (0: the window's edge)"));

    m_ruler = new Ruler(this);
    m_ruler->setObjectName(QStringLiteral("Ruler"));
    m_rich = new RichTextBox(this);
    m_rich->setObjectName(QStringLiteral("RichTextBox1"));
    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFixedHeight(m_text1->fontMetrics().lineSpacing() * 4);
    m_text1->setTabChangesFocus(true);

    m_cmbSpeed = new QComboBox(this);
    m_cmbSpeed->setObjectName(QStringLiteral("cmbSpeed"));
    m_cmbSpeed->setEditable(true);
    m_cmbSpeed->setInsertPolicy(QComboBox::NoInsert);
    m_cmbSpeed->setValidator(new QIntValidator(1, 999, m_cmbSpeed));
    // The speeds the old list offered, 60 never among them.
    for (const char* s : {"10", "20", "30", "40", "50", "70", "80", "90"})
        m_cmbSpeed->addItem(QLatin1String(s));
    m_cmbDir = new QComboBox(this);
    m_cmbDir->setObjectName(QStringLiteral("cmbDir"));
    m_cmbDir->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    m_chkActive = new QCheckBox(QStringLiteral("Active"), this);
    m_chkActive->setObjectName(QStringLiteral("chkActive"));
    m_chkActive->setChecked(true);
    m_lblRef = controls::label(this, "lblRef");
    m_lblRef->hide();
    auto* close = controls::button(this, "Command1", QStringLiteral("Close"));

    auto* unicodeLabel = controls::label(this, "lblUnicode", QStringLiteral("Unicode News"));
    unicodeLabel->setBuddy(m_text1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(controls::label(this, "lblSpeed", QStringLiteral("Speed")));
    bottom->addWidget(m_cmbSpeed);
    bottom->addSpacing(12);
    bottom->addWidget(controls::label(this, "lblDir", QStringLiteral("Direction")));
    bottom->addWidget(m_cmbDir);
    bottom->addSpacing(12);
    bottom->addWidget(m_chkActive);
    bottom->addStretch();
    bottom->addWidget(close);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setSpacing(4);
    layout->addWidget(m_ruler);
    layout->addWidget(m_rich, 1);
    layout->addWidget(unicodeLabel);
    layout->addWidget(m_text1);
    layout->addLayout(bottom);
    setCentralWidget(body);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_rich, &RichTextBox::fileDropped, this, &ScrollEditor::dropFile);
    connect(m_rich, &RichTextBox::mouseAt, this, [this](int x) {
        // The ruler sits right above the box: the same x less their offset.
        m_ruler->setMarker(x < 0 ? -1 : x + m_rich->x() - m_ruler->x());
    });
    connect(m_rich, &RichTextBox::overwriteToggled, this, [this] { updateStatus(); });
    connect(m_rich, &RichTextBox::keyPressed, this, [this] { updateStatus(); });
    connect(m_rich, &QTextEdit::cursorPositionChanged, this, [this] { updateStatus(); });
    connect(m_rich, &QTextEdit::selectionChanged, this, [this] { updateStatus(); });
    connect(m_rich->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_loading) m_changed = true;
    });
    // Enter in the font and size boxes applies what was typed, listed or not.
    m_combo1->lineEdit()->installEventFilter(this);
    m_combo2->lineEdit()->installEventFilter(this);
    connect(m_combo1, &QComboBox::textActivated, this, [this] { fontChosen(); });
    connect(m_combo2, &QComboBox::textActivated, this, [this] { sizeChosen(); });
    connect(m_combo3, &QComboBox::textActivated, this, [this] { styleChosen(); });
    connect(m_cmbSpeed, &QComboBox::textActivated, this, [this] { speedChosen(); });
    connect(m_picture1, &ColorSwatch::clicked, this, [this] {
        bool ok = false;
        const QColor c = Dialogs::color(this, m_picture1->color(), &ok);
        if (ok) setSwatch(c);
    });
    connect(m_slider1, &QSlider::valueChanged, this, [this](int width) {
        // The old box's right margin: where lines wrap; 0 is the window's edge.
        m_rich->setLineWrapMode(width > 0 ? QTextEdit::FixedPixelWidth : QTextEdit::WidgetWidth);
        if (width > 0) m_rich->setLineWrapColumnOrWidth(width);
    });
}

void ScrollEditor::placeRuler() {
    // Inch 0 of the ruler is where the text starts.
    m_ruler->setOrigin(m_rich->x() - m_ruler->x() + m_rich->viewport()->x() +
                       static_cast<int>(m_rich->document()->documentMargin()));
}

void ScrollEditor::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeRuler();
}

void ScrollEditor::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    placeRuler();
}

bool ScrollEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_combo1->lineEdit()) {
                fontChosen();
                return true;
            }
            if (watched == m_combo2->lineEdit()) {
                sizeChosen();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ScrollEditor::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_status = panel(bar, "status", 160, true);
    m_caps = panel(bar, "caps", 50);
    m_num = panel(bar, "num", 50);
    m_ins = panel(bar, "ins", 50);
    m_date = panel(bar, "date", 90);
    m_time = panel(bar, "time", 80);
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &ScrollEditor::updateClockPanels);
    m_clock->start();
}

void ScrollEditor::loadFonts() {
    m_status->setText(QStringLiteral("Please Wait... (Loading Fonts)"));
    QStringList families;
    for (const QString& f : QFontDatabase::families())
        if (!f.trimmed().isEmpty()) families.append(f);
    m_combo1->addItems(families);
    for (int size = 2; size <= 100; size += 2)
        m_combo2->addItem(QString::number(size));
    m_combo1->setCurrentText(QStringLiteral("Arial"));
    m_combo2->setCurrentText(QStringLiteral("20"));
    m_rich->setFont(QFont(QStringLiteral("Arial"), 20));
    setUnicodeFont();
    m_status->clear();
}

void ScrollEditor::updateClockPanels() {
    const QDateTime now = m_station.clock().now();
    m_date->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    m_time->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    const LockKeys keys = lockKeys();
    m_caps->setText(keys.caps ? (*keys.caps ? QStringLiteral("CAPS") : QString()) : QString());
    m_num->setText(keys.num ? (*keys.num ? QStringLiteral("NUM") : QString()) : QString());
}

} // namespace tv
