#pragma once

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tv {

class ClockChooser;
class CounterSelectWindow;
class HeaderEditor;
class LayoutDesigner;
class Station;
class ThemePreviewWindow;

// The theme editor (frmTheme): one display theme's look, from the call
// list's size and colours to the title, the pictures, the clock and the news
// band, with the pickers, the layout designer, the clock chooser, the
// counter chooser, the header captions and a live preview of the board. It
// is kept after a save (hidden) and reused by the theme list: "Add New"
// shows whatever the fields last held.
class ThemeEditor final : public QWidget {
    Q_OBJECT

public:
    explicit ThemeEditor(Station& station, QWidget* parent = nullptr);
    ~ThemeEditor() override;

    QString ref() const;
    void setRef(const QString& key);
    // What "Add New" does: no theme of its own, and its type free again.
    void addNew();

    // Loads the theme of lblRef into the fields.
    void getData();
    // Save: true when stored; the editor then hides and the list reloads.
    bool Command3_Click();
    void Command4_Click();  // Position
    void Command5_Click();  // Select Clock
    void Command11_Click(); // Select Counter
    void Command6_Click();  // Header
    // Preview: the board as the fields describe it.
    void showPreview();
    // A "--" button: the file picker of a path field.
    void pick(const QString& control);
    // Runs the check of a field as when it loses the focus.
    void leave(const QString& control);

    // The fields in stored column order, and one field's text.
    QStringList texts() const;
    QString text(const QString& control) const;
    void setText(const QString& control, const QString& text);
    QWidget* field(const QString& control) const { return m_fields.value(control); }

    ThemePreviewWindow* previewWindow() const;
    LayoutDesigner* designer() const;
    ClockChooser* clockChooser() const;
    HeaderEditor* headerEditor() const;
    CounterSelectWindow* counterWindow() const;
    // Rebuilds the preview now (it otherwise follows the fields a moment later).
    void refreshPreview();
    // A change waits to be shown in the open preview.
    bool previewPending() const;
    // Where the clock files are (the program's files/clock unless told).
    void setClockFolder(const QString& folder) { m_clockFolder = folder; }
    QString clockFolder() const { return m_clockFolder; }
    // The hall screen the theme is designed for (the station's own unless told).
    void setHallScreen(const QSize& screen) { m_hallScreen = screen; }

signals:
    // A save went through: the theme list reloads.
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // theme_editor_form.cpp
    void build();
    QWidget* buildLeftColumn();
    QWidget* buildTableColumn();
    QWidget* buildFontColumn();
    QWidget* buildMediaColumn();
    QLineEdit* lineEdit(const char* name, const QString& text = {});
    QComboBox* fontList(const char* name, bool showsItsFont);
    QComboBox* sizeList(const char* name);
    QWidget* pathRow(const char* name, const char* button);
    void addFont();
    void addSize();

    void fieldChanged();
    void updateButtons();
    bool guarded(const std::function<void()>& step);
    qint64 refKey() const;

    Station& m_station;
    QHash<QString, QWidget*> m_fields;
    QList<QComboBox*> m_fontLists;
    QList<QComboBox*> m_sizeLists;
    QLabel* m_lblRef;
    QLineEdit* m_txtTime = nullptr;
    QLineEdit* m_txtint = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_position = nullptr;
    QPushButton* m_selectClock = nullptr;
    QPushButton* m_selectCounter = nullptr;
    QPushButton* m_headerButton = nullptr;
    QPushButton* m_scroll = nullptr;
    QPushButton* m_previewButton = nullptr;
    QPushButton* m_close = nullptr;
    QTimer* m_previewTimer;
    QString m_clockFolder;
    QSize m_hallScreen;
    QPointer<ThemePreviewWindow> m_preview;
    QPointer<LayoutDesigner> m_designer;
    QPointer<ClockChooser> m_clock;
    QPointer<HeaderEditor> m_header;
    QPointer<CounterSelectWindow> m_counters;
};

} // namespace tv
