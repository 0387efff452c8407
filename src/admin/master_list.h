#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace tv {

class FlexGrid;
class MasterEditWindow;
class Station;

// A list window of master data: the grid FG with the row's key hidden in
// column 0 and the running number in column 1, Add (Command3), Delete
// (Command2) and Close (Command1), and the one edit window of its rows. It
// opens the database connection again when it loads and fills its grid again
// whenever it becomes the active window.
class MasterListWindow : public QWidget {
    Q_OBJECT

public:
    FlexGrid* grid() const { return m_fg; }

    // Fills the grid from the database; a failure is shown.
    void addFG();
    // Add: the edit window, empty when it was not open, as it was when it is.
    void Command3_Click();
    // Delete of the selected row.
    virtual void Command2_Click() = 0;
    // Double click: the edit window for the row's key (nothing for the heading).
    void editRow(int row);
    // The open edit window, if any.
    MasterEditWindow* editWindow() const;
    // The key in column 0 of the selected row; "" when none is selected.
    QString selectedKey() const;

protected:
    MasterListWindow(Station& station, const char* name, const QString& caption, QWidget* parent);
    // Lays the grid out: columns, widths in twips and headings (setFG).
    void setFG(const QList<int>& widths, const QStringList& heads);
    virtual void setFG() = 0;
    // The rows of the list: key, running number, the columns.
    virtual QList<QStringList> rows() = 0;
    virtual MasterEditWindow* createEditWindow() = 0;
    // The grid above a row of the three buttons, for lists without a
    // geometry rule of their own.
    void useStandardLayout();
    // Runs a database step; a failure is shown. True when it ran through.
    bool guarded(const std::function<void()>& step);
    // A delete that happened shows at once, not only at the next activation.
    void afterDelete(const QString& message);
    // Delete with the usual checks: a row chosen, the question answered Yes;
    // `remove` returns the refusal message, or "" when the row went.
    void deleteSelected(const std::function<QString(const QString& key)>& remove);

    Station& m_station;
    FlexGrid* m_fg;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_close;

private:
    MasterEditWindow* editor();

    QPointer<MasterEditWindow> m_edit;
};

// An edit window of one master-data row: the row's key in the hidden label
// lblRef ("" for a new row), getData to fill the boxes, Save (Command2) that
// checks, stores and closes, Close (Command1) that closes without saving.
class MasterEditWindow : public QDialog {
    Q_OBJECT

public:
    QString ref() const;
    void setRef(const QString& key);
    virtual void getData() = 0;
    // Save: true when it passed its checks and was stored; the window then closes.
    bool Command2_Click();

signals:
    // A save went through: the list shows it.
    void saved();

protected:
    MasterEditWindow(Station& station, const char* name, const QString& caption,
                     const QString& saveCaption, const QString& closeCaption, QWidget* parent);
    // Checks and stores what the boxes hold; the message to show, "" when stored.
    virtual QString saveData() = 0;
    // The form above the Save and Close buttons, once its boxes are made.
    void setForm(QLayout* form);
    // Runs a database step; a failure is shown.
    void guarded(const std::function<void()>& step);

    Station& m_station;
    QLabel* m_lblRef;
    QPushButton* m_save = nullptr;
    QPushButton* m_closeButton = nullptr;

private:
    QString m_saveCaption;
    QString m_closeCaption;
};

} // namespace tv
