#pragma once

#include <QFrame>
#include <QString>

// One sunken panel of the status bar. A text wider than the panel ends in "..." on screen
// and shows whole in the panel's tool tip; text() is always the whole text.
class StatusPanel : public QFrame
{
    Q_OBJECT

public:
    explicit StatusPanel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // The width at which the panel shows text without cutting it.
    int WidthFor(const QString& text) const;
    // The width its text has now; a wider text is cut.
    int TextRoom() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
