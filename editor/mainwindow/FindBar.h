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
    // Tab past the bar's last control, Shift+Tab before its first, or the bar about to hide:
    // the focus is to go back to the document searched, rather than on along the frame's
    // chain to whichever document came first there (which would make that one active).
    void FocusToDocument();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Dismiss();

    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QList<QWidget *> m_replaceRow;
    QList<QWidget *> m_tabOrder;
};
