#pragma once
// The command list: an editable drop-down whose selection is only ever an entry the user
// picked (from the list, with the arrow keys or the wheel). Text typed into its box is
// the user's own and selects nothing, so what the box shows while an entry is selected
// is always that entry's text.

#include <QComboBox>

class CommandBox : public QComboBox
{
    Q_OBJECT

public:
    explicit CommandBox(QWidget *parent = nullptr);

private:
    void ForgetSelection();
};
