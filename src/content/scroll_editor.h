#pragma once

#include <QList>
#include <QMainWindow>
#include <QPrinterInfo>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSlider;
class QTextCharFormat;
class QTimer;

namespace tv {

class ColorSwatch;
class RichTextBox;
class Ruler;
class Station;

// The scroll message editor: one ticker message with its rich text, its
// "Unicode News" text, font, size, colour, speed, direction and active flag,
// around a small rich text editor (menus, toolbar, status bar, file open,
// drop and print). Saving stores the message and closes the editor; every
// close tells the list, which refreshes.
class ScrollEditor final : public QMainWindow {
    Q_OBJECT

public:
    explicit ScrollEditor(Station& station, QWidget* parent = nullptr);
    ~ScrollEditor() override;

    // True when the editor works on a stored message (its key in lblRef).
    bool scrollEditMode() const { return m_scrollEditMode; }
    void setScrollEditMode(bool on) { m_scrollEditMode = on; }
    QString ref() const;
    void setRef(const QString& key);

    // Loads the stored message `key` into the controls; a field that cannot
    // be read leaves its control as it was.
    void getheadDetails(qint64 key);

    // File "&Save": stores the message and closes the editor. False when
    // nothing was stored (both areas empty, a wrong size, a database error).
    bool saveMessage();

    // The commands of the File menu and of a dropped file.
    void newFile();
    void openFile();
    void openPath(const QString& path);
    void dropFile(const QString& path);
    void printMessage();
    void exitProgram();

    // Format commands on the rich text's selection.
    void setBold();
    void setItalic();
    void setUnderline();
    void setStrikeout();
    void toggleBullets();
    void setAlignment(Qt::Alignment alignment);
    void chooseFont();
    void chooseForeColor();
    void setWordCase(bool upper);
    void fontChosen();  // the font list
    void sizeChosen();  // the size list
    void styleChosen(); // the style list
    void speedChosen(); // the speed list

    // Whether the rich text changed since it was loaded, made new or opened empty.
    bool changed() const { return m_changed; }

    // The printers the Print command offers. The machine's by default; tests
    // choose theirs (none: the print goes to a PDF file the user names).
    void setPrinters(std::function<QList<QPrinterInfo>()> source) {
        m_printers = std::move(source);
    }

    RichTextBox* richText() const { return m_rich; }
    QString statusText() const;

signals:
    void closed();
    void programEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolbars();
    void buildBody();
    void buildStatusBar();
    void loadFonts();
    // A command by its name; one without `run` is shown disabled.
    QAction* action(const char* name, const QString& text, std::function<void()> run = {});
    QAction* act(const char* name) const;
    void clipboardCommand(bool cut);
    void pastePlainText();

    // Asks about unsaved changes; false when the command is to stop.
    bool confirmDiscard();
    bool loadInto(const QString& path);
    void applyToSelection(const QTextCharFormat& format);
    void updateStatus();
    void updateClockPanels();
    void setSwatch(const QColor& color);
    void setUnicodeFont();
    void placeRuler();

    Station& m_station;
    bool m_scrollEditMode = false;
    bool m_changed = false;
    bool m_loading = false;
    QString m_fileName;
    std::function<QList<QPrinterInfo>()> m_printers;

    RichTextBox* m_rich = nullptr;
    Ruler* m_ruler = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    ColorSwatch* m_picture1 = nullptr;
    ColorSwatch* m_picture2 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QComboBox* m_combo3 = nullptr;
    QComboBox* m_cmbSpeed = nullptr;
    QComboBox* m_cmbDir = nullptr;
    QCheckBox* m_chkActive = nullptr;
    QSlider* m_slider1 = nullptr;
    QLabel* m_lblRef = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_caps = nullptr;
    QLabel* m_num = nullptr;
    QLabel* m_ins = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
    QTimer* m_clock = nullptr;
};

} // namespace tv
