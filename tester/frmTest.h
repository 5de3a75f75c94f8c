#pragma once
// The tester's one window: pick a command, send it through the device control, and
// watch the status bar, the progress bar and the time-stamped log.

#include "Layout.h"
#include "MessageLog.h"
#include "UnitRecorder.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>

class CommandBox;
class DeviceControl;
class Modal;
class QAction;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

class frmTest : public QMainWindow
{
    Q_OBJECT

public:
    // Takes `device` as its control torMain; without one it creates a Torvane with the
    // stored settings. The window deletes itself when closed.
    explicit frmTest(Modal &modal, DeviceControl *device = nullptr, QWidget *parent = nullptr);
    ~frmTest() override;

    DeviceControl &Device() const { return *torMain; }
    // The log exactly as written: entries introduced by CR LF.
    QString LogText() const;
    // The status bar's panel 1 or 2.
    QString PanelText(int panel) const;
    // True from Send's start until the command's outcome is shown.
    bool IsSending() const { return m_sending; }
    // Where the time stamps' date and time come from (the clock unless set).
    void SetClock(std::function<QDateTime()> clock);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateElements();
    void CreateMenu();
    // In frmTestNames.cpp: what a screen reader says for each element.
    void NameElements();
    void Form_Load();
    void Form_Resize();
    void PlaceElements();

    void cmdSend_Click();
    void cmdCancel_Click();
    void SendSelected();
    void LogMessage(const QString &text);
    void txtMessages_ContextMenu(const QContextMenuEvent &event);
    void SaveLogAs();
    void RecordEachUnit_Toggled(bool on);

    void torMain_StatusChanged(qint32 value, const QString &text);
    void torMain_ResponseReceived(const QString &response);
    void torMain_MessageReceived(const QString &message);
    void torMain_ErrorOccurred(const QString &description, const QString &where);
    void torMain_ProgressChanged(const QString &text, qint32 value, qint32 current, qint32 total);

    Modal &m_modal;
    DeviceControl *torMain = nullptr;

    QWidget *m_client = nullptr;
    CommandBox *cmbCommand = nullptr;
    QPushButton *cmdSend = nullptr;
    QPlainTextEdit *txtMessages = nullptr;
    QProgressBar *pgbMain = nullptr;
    QPushButton *cmdCancel = nullptr;
    QStatusBar *stbMain = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuSimulate = nullptr;
    QAction *mnuMessages = nullptr;
    QAction *mnuResponses = nullptr;
    QAction *mnuFields = nullptr;

    std::optional<MessageLog> m_log;
    tester::TesterLayout m_layout = tester::DesignLayout();
    std::function<QDateTime()> m_clock;
    bool m_sending = false;
    bool m_closePending = false;
    QString m_logPath; // where the log was last saved
    UnitRecorder m_recorder;
};
