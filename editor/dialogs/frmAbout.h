#pragma once
// The editor's About dialog: the program's title and version, and a button that starts
// the system-information tool named in the machine-wide registry. Nothing in the editor
// opens it; whoever shows it owns it (it is not deleted when it closes).

#include <QDialog>
#include <QString>

#include <functional>

class Modal;
class QLabel;
class QPushButton;

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // Starts the program at `path` without waiting for it; false when it could not start.
    using ProgramStarter = std::function<bool(const QString &path)>;

    explicit frmAbout(Modal &modal, QWidget *parent = nullptr);

    // The real starter runs the program detached; tests put one here that only records.
    void SetProgramStarter(ProgramStarter starter);

    void StartSysInfo();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // The system-information program's path from the registry, or empty when there is none.
    QString FindSysInfo() const;

    Modal &m_modal;
    ProgramStarter m_start;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdSysInfo = nullptr;
};
