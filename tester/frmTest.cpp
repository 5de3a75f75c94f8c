#include "frmTest.h"

#include "CommandBox.h"
#include "CommandTable.h"
#include "DeviceControl.h"
#include "Escaping.h"
#include "LogFile.h"
#include "LogTexts.h"
#include "LogView.h"
#include "Modal.h"
#include "ProgramIcon.h"
#include "Progress.h"
#include "QtText.h"
#include "RunOptions.h"
#include "ScreenUnits.h"
#include "TimeStamp.h"
#include "Torvane.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtDebug>

#include <algorithm>
#include <exception>
#include <utility>

namespace {

// No failure of a handler may reach the event loop or end the tester: it is noted on
// the debug output and the handler ends there.
template <typename Action> void Settle(const char *where, Action &&action) noexcept
{
    try {
        std::forward<Action>(action)();
    } catch (const std::exception &error) {
        qWarning("%s: %s", where, error.what());
    } catch (...) {
        qWarning("%s: unknown failure", where);
    }
}

bool IsEnterKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmTest::frmTest(Modal &modal, DeviceControl *device, QWidget *parent)
    : QMainWindow(parent), m_modal(modal), torMain(device)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Pellow Tester"));
    SetProgramIcon(this, QStringLiteral(":/probator/icons/program"));

    if (!torMain)
        torMain = new Torvane(Torvane::DefaultCommSettings, Torvane::DefaultInitFile);
    torMain->setParent(this);
    torMain->setObjectName(QStringLiteral("torMain"));

    CreateElements();
    CreateMenu();
    NameElements();

    connect(torMain, &DeviceControl::StatusChanged, this, &frmTest::torMain_StatusChanged);
    connect(torMain, &DeviceControl::ResponseReceived, this, &frmTest::torMain_ResponseReceived);
    connect(torMain, &DeviceControl::MessageReceived, this, &frmTest::torMain_MessageReceived);
    connect(torMain, &DeviceControl::ErrorOccurred, this, &frmTest::torMain_ErrorOccurred);
    connect(torMain, &DeviceControl::ProgressChanged, this, &frmTest::torMain_ProgressChanged);

    Settle("frmTest.Form_Load", [this] { Form_Load(); });

    // The design's size where the screen has room for it, at any scale.
    screenunits::ResizeWithinScreen(
        this, QSize(screenunits::TwipsToPixelsX(tester::DesignClientWidth, this),
                    screenunits::TwipsToPixelsY(tester::DesignClientHeight, this) +
                        menuBar()->sizeHint().height()));
    cmbCommand->setFocus();
}

frmTest::~frmTest() = default;

void frmTest::CreateElements()
{
    // The elements sit where the layout rule puts them, so the client area has no layout.
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    cmbCommand = new CommandBox(m_client);
    cmbCommand->setObjectName(QStringLiteral("cmbCommand"));
    cmbCommand->installEventFilter(this);
    cmbCommand->lineEdit()->installEventFilter(this);

    cmdSend = new QPushButton(tr("Send"), m_client);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setDefault(true);
    connect(cmdSend, &QPushButton::clicked, this, &frmTest::cmdSend_Click);

    txtMessages = new LogView(m_client);
    txtMessages->setObjectName(QStringLiteral("txtMessages"));
    m_log.emplace(*txtMessages);
    // A right click reaches the viewport and the menu key the box itself; the filter
    // takes both, each with its place on the screen.
    txtMessages->installEventFilter(this);
    txtMessages->viewport()->installEventFilter(this);

    pgbMain = new QProgressBar(m_client);
    pgbMain->setObjectName(QStringLiteral("pgbMain"));
    pgbMain->setRange(0, 100);
    pgbMain->setValue(0);
    pgbMain->setTextVisible(false);

    cmdCancel = new QPushButton(tr("Cancel"), m_client);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter on a focused Cancel presses Cancel, not the window's default Send; while a
    // command runs the filter keeps Enter from it.
    cmdCancel->setAutoDefault(true);
    cmdCancel->installEventFilter(this);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTest::cmdCancel_Click);

    stbMain = new QStatusBar(m_client);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    m_panel1 = new QLabel(stbMain);
    m_panel1->setObjectName(QStringLiteral("stbMainPanel1"));
    m_panel1->setMinimumWidth(screenunits::TwipsToPixelsX(tester::StatusPanelWidth, this));
    m_panel2 = new QLabel(stbMain);
    m_panel2->setObjectName(QStringLiteral("stbMainPanel2"));
    m_panel2->setFixedWidth(screenunits::TwipsToPixelsX(tester::StatusPanelWidth, this));
    for (QLabel *panel : {m_panel1, m_panel2}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Device texts are shown as they come, never as markup.
        panel->setTextFormat(Qt::PlainText);
    }
    stbMain->addWidget(m_panel1, 1);
    stbMain->addPermanentWidget(m_panel2);

    setTabOrder(cmbCommand, cmdSend);
    setTabOrder(cmdSend, cmdCancel);
    setTabOrder(cmdCancel, txtMessages);
}

void frmTest::CreateMenu()
{
    mnuFile = menuBar()->addMenu(tr("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto addSwitch = [this](const char *name, const QString &caption, bool checked) {
        QAction *action = mnuFile->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };
    // A click flips the check mark and nothing else; each switch is read where it counts.
    mnuSimulate = addSwitch("mnuSimulate", tr("Simulate Torvane"), false);
    mnuMessages = addSwitch("mnuMessages", tr("Show Messages"), true);
    mnuResponses = addSwitch("mnuResponses", tr("Show Responses"), true);
    mnuFields = addSwitch("mnuFields", tr("Show Fields"), true);
}

void frmTest::Form_Load()
{
    for (const tester::Command &command : tester::CommandTable())
        cmbCommand->addItem(tester::ToQString(command.name));
    cmbCommand->setCurrentIndex(-1);
    cmbCommand->setEditText(tr("Choose a command"));
}

void frmTest::Form_Resize()
{
    const auto width = static_cast<float>(screenunits::PixelsToTwipsX(m_client->width(), this));
    const auto height = static_cast<float>(screenunits::PixelsToTwipsY(m_client->height(), this));
    tester::FormResize(m_layout, width, height);
    PlaceElements();
}

void frmTest::PlaceElements()
{
    const auto place = [this](QWidget *widget, const tester::TwipsRect &rect) {
        widget->setGeometry(
            screenunits::TwipsToPixels(rect.left, rect.top, rect.width, rect.height, this));
    };
    place(cmbCommand, m_layout.command);
    place(cmdSend, m_layout.send);
    place(txtMessages, m_layout.log);
    place(pgbMain, m_layout.progress);
    place(cmdCancel, m_layout.cancel);
    // The status bar keeps to the bottom edge over the full width. Narrower than its
    // panels' minimum it would squeeze panel 1 under panel 2; it keeps that minimum
    // instead and the client area clips it on the right.
    const int barHeight = screenunits::TwipsToPixelsY(tester::StatusBarHeight, this);
    const int barWidth = std::max(m_client->width(), stbMain->minimumSizeHint().width());
    stbMain->setGeometry(0, m_client->height() - barHeight, barWidth, barHeight);
}

QString frmTest::LogText() const
{
    return m_log->Text();
}

QString frmTest::PanelText(int panel) const
{
    return panel == 1 ? m_panel1->text() : panel == 2 ? m_panel2->text() : QString();
}

void frmTest::SetClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void frmTest::cmdSend_Click()
{
    // Send is disabled while a command runs; a queued click or Enter gets no further.
    if (m_sending)
        return;
    Settle("frmTest.cmdSend_Click", [this] { SendSelected(); });
}

void frmTest::SendSelected()
{
    const int index = cmbCommand->currentIndex();
    const std::optional<qint32> number = tester::CommandNumberAt(index);
    if (!number)
        return;

    // Device events run nested inside ExecuteCommand and may process window events;
    // every step after it checks that the window still stands.
    QPointer<frmTest> self(this);
    m_sending = true;
    bool sendHadFocus = false;
    try {
        m_recorder.CommandStarts();
        LogMessage(tr("Sending Command: \"%1\"").arg(cmbCommand->itemText(index)));
        // Disabling a focused Send would hand the focus, and with it Enter, to Cancel;
        // the focus rests on the client area instead, where Enter does nothing while
        // Send is disabled, and goes back to Send afterwards.
        if (focusWidget() == cmdSend) {
            sendHadFocus = true;
            m_client->setFocus(Qt::OtherFocusReason);
        }
        cmdSend->setEnabled(false);
        m_panel1->setText(QString());
        torMain->SetSimulate(mnuSimulate->isChecked());
        const CommandResult result = torMain->ExecuteCommand(*number);
        if (!self)
            return;
        if (result.Success) {
            m_panel1->setText(tr("Success!!!"));
            pgbMain->setValue(0);
            if (result.Details.FieldCount > 0 && mnuFields->isChecked())
                LogMessage(
                    tr("These Details were returned: \r\n-----------------------------\r\n%1")
                        .arg(result.Details.FieldText));
            if (*number == 1)
                m_recorder.UnitIs(QString::fromStdString(
                    tester::RecordFolder(tester::View(result.Details.FieldText))));
        } else {
            m_panel1->setText(
                tr("Error: %1")
                    .arg(tester::ToQString(tester::ShowControls(tester::View(result.ErrorText)))));
        }
    } catch (const std::exception &error) {
        if (!self)
            return;
        m_modal.MsgBox(this, QString::fromLocal8Bit(error.what()), tr("Error Sending"),
                       MsgStyle::OKOnly + MsgStyle::Information);
    } catch (...) {
        if (!self)
            return;
        m_modal.MsgBox(this, tr("The command failed for an unknown reason."), tr("Error Sending"),
                       MsgStyle::OKOnly + MsgStyle::Information);
    }
    if (!self)
        return;
    cmdSend->setEnabled(true);
    if (sendHadFocus && focusWidget() == m_client)
        cmdSend->setFocus(Qt::OtherFocusReason);
    m_sending = false;
    if (m_closePending) {
        m_closePending = false;
        close();
    }
}

void frmTest::cmdCancel_Click()
{
    Settle("frmTest.cmdCancel_Click", [this] { torMain->CancelCommand(); });
}

void frmTest::LogMessage(const QString &text)
{
    QString stamp;
    if (!text.isEmpty())
        stamp = TimeStamp(QLocale(), m_clock ? m_clock() : QDateTime::currentDateTime());
    const QString entry =
        tester::ToQString(tester::LogEntry(tester::View(stamp), tester::View(text)));
    m_log->Append(entry);
    // The record has no first empty line: each entry's break ends the one before.
    m_recorder.Write(entry.mid(2));
}

void frmTest::txtMessages_ContextMenu(const QContextMenuEvent &event)
{
    // The box's own commands, then the log's. The menu pops up rather than running a loop
    // of its own, so a command running meanwhile goes on as before.
    QMenu *menu = txtMessages->CreateStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    // The record's switch sits beside Save Log As..., which stays the menu's last entry.
    QAction *record = menu->addAction(tr("Keep a Record of Each Unit"));
    record->setObjectName(QStringLiteral("mnuRecordEachUnit"));
    record->setCheckable(true);
    record->setChecked(m_recorder.IsOn());
    record->setToolTip(m_recorder.Folder());
    connect(record, &QAction::toggled, this, &frmTest::RecordEachUnit_Toggled);
    QAction *save = menu->addAction(tr("Save Log As..."));
    save->setObjectName(QStringLiteral("mnuSaveLogAs"));
    connect(save, &QAction::triggered, this, &frmTest::SaveLogAs);
    menu->popup(event.globalPos());
}

void frmTest::RecordEachUnit_Toggled(bool on)
{
    Settle("frmTest.RecordEachUnit_Toggled", [this, on] { m_recorder.SetOn(on); });
}

void frmTest::SaveLogAs()
{
    Settle("frmTest.SaveLogAs", [this] {
        QPointer<frmTest> self(this);
        FileDialogRequest request;
        request.title = tr("Save Log As");
        request.fileName = m_logPath.isEmpty() ? QStringLiteral("Probator.log") : m_logPath;
        request.filter = tr("Log Files (*.log)|*.log|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
        QString path;
        for (;;) {
            const std::optional<QString> chosen = m_modal.SaveFile(this, request);
            if (!self || !chosen || chosen->isEmpty())
                return;
            if (!QFileInfo::exists(*chosen)) {
                path = *chosen;
                break;
            }
            // The dialog leaves this question to its caller; Enter keeps the file that is there.
            const MsgAnswer answer =
                m_modal.MsgBox(this, tr("File already exists.  Overwrite it?"), tr("File Exists"),
                               MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
            if (!self || answer == MsgAnswer::Cancel)
                return;
            if (answer == MsgAnswer::Yes) {
                path = *chosen;
                break;
            }
            request.fileName = *chosen;
        }
        if (const std::optional<QString> failure = SaveLogFile(path, m_log->Text())) {
            m_modal.MsgBox(this,
                           tr("The log could not be saved to %1.\n%2")
                               .arg(QDir::toNativeSeparators(path), *failure),
                           tr("Save Log As"), MsgStyle::OKOnly + MsgStyle::Information);
            return;
        }
        m_logPath = path;
    });
}

void frmTest::torMain_StatusChanged(qint32, const QString &text)
{
    Settle("frmTest.torMain_StatusChanged", [this, &text] {
        m_panel2->setText(tester::ToQString(tester::ShowControls(tester::View(text))));
    });
}

void frmTest::torMain_ResponseReceived(const QString &response)
{
    Settle("frmTest.torMain_ResponseReceived", [this, &response] {
        if (mnuResponses->isChecked())
            LogMessage(tr("Received Response: %1")
                           .arg(tester::ToQString(tester::EscapeResponse(tester::View(response)))));
    });
}

void frmTest::torMain_MessageReceived(const QString &message)
{
    Settle("frmTest.torMain_MessageReceived", [this, &message] {
        if (mnuMessages->isChecked())
            LogMessage(message);
    });
}

void frmTest::torMain_ErrorOccurred(const QString &description, const QString &where)
{
    Settle("frmTest.torMain_ErrorOccurred", [this, &description, &where] {
        LogMessage(tr("Device Error: %1 occurred in: %2").arg(description, where));
    });
}

void frmTest::torMain_ProgressChanged(const QString &, qint32, qint32 current, qint32 total)
{
    Settle("frmTest.torMain_ProgressChanged", [this, current, total] {
        const std::optional<std::int16_t> percent = tester::ProgressPercent(current, total);
        if (!percent)
            return;
        pgbMain->setValue(*percent);
        m_panel2->setText(tester::ToQString(tester::PercentText(*percent)));
        // The one place the tester yields while a command runs: Cancel, the menu
        // switches and resizing act here. Nothing of the window is used afterwards.
        QCoreApplication::processEvents();
    });
}

void frmTest::closeEvent(QCloseEvent *event)
{
    if (!m_sending) {
        event->accept();
        return;
    }
    // Closing now would destroy the window under the running ExecuteCommand: hold the
    // close back, end the command, and close once Send has shown its outcome.
    event->ignore();
    m_closePending = true;
    Settle("frmTest.closeEvent", [this] { torMain->CancelCommand(); });
}

void frmTest::keyPressEvent(QKeyEvent *event)
{
    // Outside a dialog Qt has no default button: Enter that no element took sends.
    if (IsEnterKey(event)) {
        cmdSend->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmTest::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        Settle("frmTest.Form_Resize", [this] { Form_Resize(); });
        return false;
    }
    if (txtMessages && (watched == txtMessages || watched == txtMessages->viewport()) &&
        event->type() == QEvent::ContextMenu) {
        const auto *request = static_cast<const QContextMenuEvent *>(event);
        Settle("frmTest.txtMessages_ContextMenu",
               [this, request] { txtMessages_ContextMenu(*request); });
        return true;
    }
    // Enter does nothing while a command runs, wherever the focus is.
    if (watched == cmdCancel && m_sending && IsEnterKey(event))
        return true;
    // Enter in the command list presses Send; the list must not pick an entry from the
    // typed text, since only a selected entry is sent.
    if (cmbCommand && (watched == cmbCommand || watched == cmbCommand->lineEdit()) &&
        IsEnterKey(event)) {
        cmdSend->click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
