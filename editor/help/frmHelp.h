#pragma once
// The user's guide, shipped inside the program, in a window of its own with a search
// field: typing marks every place the words occur, Enter goes to the next one.

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

class frmHelp : public QWidget
{
    Q_OBJECT

public:
    explicit frmHelp(QWidget *parent = nullptr);

    // Help > Contents: the guide, brought to the front, read from where it was left.
    void ShowContents();
    // Help > Search For Help On: the same window with the search field ready for typing.
    void ShowSearch();

private:
    void MarkMatches(const QString &words);
    void NextMatch();
    void BringToFront();

    QLineEdit *m_search = nullptr;
    QLabel *m_matches = nullptr;
    QTextBrowser *m_guide = nullptr;
};
