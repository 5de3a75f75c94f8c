#pragma once
// File > Properties: what a person may want to know about one document before saving or
// sending it, each fact as a caption and a value that can be selected and copied.

#include <QDialog>

class QFormLayout;

class frmProperties : public QDialog
{
    Q_OBJECT

public:
    // `fileName` is the document's FileName (empty for one never saved), `text` its exact
    // text.
    frmProperties(const QString &fileName, const QString &text, QWidget *parent = nullptr);

    // Shows at most this many of the characters a save would lose, by place.
    static constexpr std::size_t ListedLosses = 5;

private:
    void AddRow(const QString &caption, const QString &name, const QString &value);

    QFormLayout *m_rows = nullptr;
};
