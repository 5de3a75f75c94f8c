#pragma once

#include "TextSearch.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The frame's one find and replace bar, below the documents. It holds what to look for and
// how; the frame does the looking, in whichever document is active.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar (with the replace row or without), optionally taking `pattern` as the
    // text to find, and puts the focus in the find field with its text selected.
    void Open(bool withReplace, const QString &pattern = {});

    QString Pattern() const;
    QString Replacement() const;
    textsearch::Options Options() const;

signals:
    void FindNext();
    void FindPrevious();
    void Replace();
    void ReplaceAll();
    // Escape or the close button: the bar has hidden itself.
    void Closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QList<QWidget *> m_replaceRow;
};
