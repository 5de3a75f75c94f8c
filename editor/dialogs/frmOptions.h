#pragma once
// A tabbed options dialog of sample content: four groups behind a tab strip, and OK,
// Cancel and Apply buttons that only show their messages. It stores no setting. Nothing
// in the editor opens it; whoever shows it owns it.

#include <QDialog>

#include <array>

class Modal;
class QPushButton;
class QTabBar;

class frmOptions : public QDialog
{
    Q_OBJECT

public:
    explicit frmOptions(Modal &modal, QWidget *parent = nullptr);

    // Panel `index` (0 to 3) of the picOptions group; it belongs to tab index + 1.
    QWidget *picOptions(int index) const;

protected:
    // Key presses meant for this dialog are seen here before the control that has the focus.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // `keyCode` as the platform numbers keys (9 is Tab); `shift` has 1 for Shift, 2 for
    // Ctrl and 4 for Alt.
    void Form_KeyDown(int keyCode, int shift);
    void tbsOptions_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();

    Modal &m_modal;
    QTabBar *m_tbsOptions = nullptr;
    std::array<QWidget *, 4> m_picOptions{};
    QPushButton *m_cmdCancel = nullptr;
};
