#pragma once
// The text box both programs use: a QPlainTextEdit that takes and gives nothing but plain
// text, and that no clipboard content can bring down.

#include <QPlainTextEdit>

class PlainTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit PlainTextBox(QWidget *parent = nullptr);

    // The selection as plain text, each line break as "\n".
    QString SelectedPlainText() const;

protected:
    bool event(QEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
};
