#pragma once

#include <QLabel>
#include <QLineEdit>

namespace tv {

// A colour swatch of the theme editor: shows a stored colour value as its
// back colour; a click opens the colour dialog, cancelling keeps the colour.
class Swatch final : public QLabel {
    Q_OBJECT

public:
    Swatch(QWidget* parent, const char* name, const QString& caption);

    quint32 value() const { return m_value; }
    void setValue(quint32 value);
    // The colour dialog, as a click opens it.
    void choose();

signals:
    void changed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    quint32 m_value = 0;
    QString m_caption;
};

// A file name filled by its button: not typed into; the Delete key empties it.
class PathField final : public QLineEdit {
    Q_OBJECT

public:
    PathField(QWidget* parent, const char* name);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tv
