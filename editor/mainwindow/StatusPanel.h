#pragma once

#include <QLabel>

// The status bar's message panel. A message longer than the panel is elided at its end
// (the whole of it in the tool tip) rather than widening the panel, and with it the frame,
// off the screen.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusPanel(const QString &text, QWidget *parent = nullptr);

    void SetMessage(const QString &message);
    // The message as it was given, before eliding.
    QString Message() const { return m_message; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Elide();

    QString m_message;
    // The narrowest width the whole message was found to fit in: at that width or more it
    // is shown whole without measuring it again. A panel beside this one that comes and
    // goes with each keystroke resizes this one each time.
    int m_fitsFrom = -1;
};
