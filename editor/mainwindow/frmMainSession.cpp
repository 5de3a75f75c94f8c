// The frame and the desktop's session manager. Qt asks for the unsaved work both when
// the session is only saved and before a log-off that may yet be called off, so that
// request never closes anything; only the manager's order to quit ends the documents.

#include "SessionRequest.h"
#include "SettingsStore.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSessionManager>

namespace {

class QtSessionRequest : public SessionRequest
{
public:
    explicit QtSessionRequest(QSessionManager &manager) : m_manager(manager) {}
    ~QtSessionRequest() override
    {
        // Other programs wait for their turn to ask until this one is done.
        if (m_interacting)
            m_manager.release();
    }
    bool AllowsInteraction() override
    {
        m_interacting = m_interacting || m_manager.allowsInteraction();
        return m_interacting;
    }
    void Cancel() override { m_manager.cancel(); }

private:
    QSessionManager &m_manager;
    bool m_interacting = false;
};

} // namespace

void frmMain::ConnectSession()
{
    // Direct: the manager's request must be answered before the signal returns.
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &manager) {
            QtSessionRequest request(manager);
            CommitSessionData(request);
        },
        Qt::DirectConnection);
    // The manager's order to quit arrives as the application's Quit event.
    qApp->installEventFilter(this);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::Quit && isVisible())
        SessionEnding();
    if (DropOnDocument(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::CommitSessionData(SessionRequest &request)
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    bool mayAsk = false;
    for (QMdiSubWindow *window : windows) {
        QPointer<frmDocument> document = dynamic_cast<frmDocument *>(window);
        if (!document || document->isHidden() || !document->Changed())
            continue;
        // Asked for only once there is something to ask, and then kept.
        if (!mayAsk && !request.AllowsInteraction())
            return;
        mayAsk = true;
        bool keep = false;
        try {
            // As the program asking: Cancel, or a save that did not happen, refuses.
            keep = document && !document->QueryUnload(1);
        } catch (const std::exception &) {
            keep = true;
        }
        if (keep) {
            request.Cancel();
            return;
        }
    }
}

void frmMain::SessionEnding()
{
    const settings::WriteBatch batch;
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        // The user was asked while the manager allowed it; nothing may be asked now.
        if (auto *document = dynamic_cast<frmDocument *>(window))
            document->setChanged(false);
    }
    CloseDocuments(2);
    Form_Unload();
}
