#include "frmMain.h"

#include "CaretPanel.h"

#include "FrameLayout.h"
#include "ProgramIcon.h"
#include "ScreenUnits.h"
#include "SettingsStore.h"
#include "StatusPanel.h"
#include "frmDocument.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr float DefaultLeft = 1000;
constexpr float DefaultTop = 1000;
constexpr float DefaultWidth = 6500;
constexpr float DefaultHeight = 6500;

void WriteTwips(const QString &key, double value)
{
    // Whole twips: a pixel is 15 of them at ordinary DPI, so nothing visible is lost.
    settings::WriteNumber(key, static_cast<float>(std::round(value)));
}

std::vector<framelayout::Box> ScreenBoxes()
{
    std::vector<framelayout::Box> boxes;
    for (const QScreen *screen : QGuiApplication::screens()) {
        // Less the desktop's panels, or a bar along the bottom could hide the status bar.
        const QRect r = screen->availableGeometry();
        boxes.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    return boxes;
}

} // namespace

frmMain::frmMain(Modal &modal, QWidget *parent) : QMainWindow(parent), m_modal(modal)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Torvane Config File Editor"));
    SetProgramIcon(this, QStringLiteral(":/quillon/icons/program"));
    // The program's icon for every window it makes: a document window then shows it in
    // its title bar without a call of its own, and without first loading the style's menu
    // icon from its image files, which is most of what a new window costs when hundreds
    // open at once.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(windowIcon());

    // The documents, with the find bar below them when it is open.
    auto *client = new QWidget(this);
    m_column = new QVBoxLayout(client);
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(0);
    m_mdiArea = new QMdiArea(client);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_column->addWidget(m_mdiArea, 1);
    setCentralWidget(client);
    setAcceptDrops(true);

    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    ConnectCommands();

    ConnectSession();

    Form_Load();
}

frmMain::~frmMain()
{
    // The children outlive this class's part of the object: nothing they do while they go
    // may call back into it.
    m_mdiArea->disconnect(this);
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        window->disconnect(this);
        if (auto *document = dynamic_cast<frmDocument *>(window)) {
            document->TextBox()->disconnect(this);
            document->TextBox()->viewport()->removeEventFilter(this);
        }
    }
}

void frmMain::Form_Load()
{
    using settings::MaxExtent, settings::MaxPosition, settings::MinExtent, settings::MinPosition;
    const float left =
        settings::ReadNumber(QStringLiteral("MainLeft"), DefaultLeft, MinPosition, MaxPosition);
    const float top =
        settings::ReadNumber(QStringLiteral("MainTop"), DefaultTop, MinPosition, MaxPosition);
    const float width =
        settings::ReadNumber(QStringLiteral("MainWidth"), DefaultWidth, MinExtent, MaxExtent);
    const float height =
        settings::ReadNumber(QStringLiteral("MainHeight"), DefaultHeight, MinExtent, MaxExtent);
    const int state = settings::ReadWindowState(QStringLiteral("MainState"), 0);

    QRect outer = screenunits::TwipsToPixels(left, top, width, height, this);
    // A placement left by a screen that is gone would open the editor where nobody can
    // reach it.
    if (!framelayout::OnSomeScreen({outer.x(), outer.y(), outer.width(), outer.height()},
                                   ScreenBoxes()))
        outer =
            screenunits::TwipsToPixels(DefaultLeft, DefaultTop, DefaultWidth, DefaultHeight, this);
    // Nor may a damaged store open it larger than the screen, its edges out of reach.
    const framelayout::Box fitted = framelayout::FitOnScreen(
        {outer.x(), outer.y(), outer.width(), outer.height()}, ScreenBoxes());
    outer = QRect(fitted.x, fitted.y, fitted.width, fitted.height);

    move(outer.topLeft());
    resize(outer.size());
    m_pendingOuterSize = outer.size();
    ApplyPendingOuterSize();

    if (state == 1)
        setWindowState(Qt::WindowMinimized);
    else if (state == 2)
        setWindowState(Qt::WindowMaximized);
}

// The stored size is the outer one, but the frame's border is known only once the window
// manager has framed the window; until then the client area is sized to the outer size
// and corrected here as soon as the border shows up.
void frmMain::ApplyPendingOuterSize()
{
    if (!m_pendingOuterSize || windowState() != Qt::WindowNoState)
        return;
    const QSize border = frameGeometry().size() - geometry().size();
    if (border.isNull())
        return;
    resize(*m_pendingOuterSize - border);
    m_pendingOuterSize.reset();
}

// A child opens wholly within the area, whether the area placed it or it came back to a
// remembered place: Qt's placer centres a child wider than the area on it, leaving the
// start of every line out of reach, and a place remembered in a larger frame may lie
// half outside this one.
void frmMain::KeepWithinArea(frmDocument *document) const
{
    // A hidden area has no size yet; it is laid out before it is shown, and then this runs
    // for every child.
    if (!m_mdiArea->isVisible() || document->isMinimized() || document->isMaximized())
        return;
    const QSize area = m_mdiArea->viewport()->size();
    const framelayout::Box within = framelayout::WithinArea(
        {document->x(), document->y(), document->width(), document->height()}, area.width(),
        area.height());
    document->resize(within.width, within.height);
    document->move(within.x, within.y);
}

bool frmMain::event(QEvent *event)
{
    const bool result = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
        // The area places the children that opened while it was hidden as it is shown. A
        // frame coming back from the task bar (shown by the system) keeps the children where
        // the user left them.
        if (!event->spontaneous()) {
            for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
                if (auto *document = dynamic_cast<frmDocument *>(window))
                    KeepWithinArea(document);
            }
        }
        ApplyPendingOuterSize();
        break;
    case QEvent::WindowActivate:
        ApplyPendingOuterSize();
        CheckFilesSoon();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        ApplyPendingOuterSize();
        break;
    default:
        break;
    }
    return result;
}

// Documents opened while the frame was hidden (the command line's) show with it, and
// each would become the active one in turn as it shows, going over all the others every
// time: quadratic in their number. Only the document meant to be in front is let activate;
// a disabled window shows without activating.
void frmMain::setVisible(bool visible)
{
    if (!visible || isVisible()) {
        QMainWindow::setVisible(visible);
        return;
    }
    // The program went on after all (another window kept it running, or a new start
    // handed files over): the documents closed with the frame go now.
    for (const QPointer<QMdiSubWindow> &window : std::exchange(m_closedWithFrame, {})) {
        if (window && window->isHidden())
            delete window;
    }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    QMdiSubWindow *front = m_mdiArea->currentSubWindow();
    if (!front && !windows.isEmpty())
        front = windows.last();
    QList<QPointer<QMdiSubWindow>> held;
    for (QMdiSubWindow *window : windows) {
        if (window != front && window->isEnabled()) {
            window->setEnabled(false);
            held.append(window);
        }
    }
    QMainWindow::setVisible(visible);
    for (const QPointer<QMdiSubWindow> &window : held) {
        if (window)
            window->setEnabled(true);
    }
}

void frmMain::Form_Unload()
{
    const int state = isMinimized() ? 1 : (isMaximized() || isFullScreen()) ? 2 : 0;
    if (state == 0) {
        const QRect outer = frameGeometry();
        WriteTwips(QStringLiteral("MainLeft"), screenunits::PixelsToTwipsX(outer.x(), this));
        WriteTwips(QStringLiteral("MainTop"), screenunits::PixelsToTwipsY(outer.y(), this));
        WriteTwips(QStringLiteral("MainWidth"), screenunits::PixelsToTwipsX(outer.width(), this));
        WriteTwips(QStringLiteral("MainHeight"), screenunits::PixelsToTwipsY(outer.height(), this));
    }
    if (state != 1)
        settings::WriteWindowState(QStringLiteral("MainState"), state);
}

frmDocument *frmMain::NewDocument(Activation activation)
{
    if (m_documentCount == std::numeric_limits<int>::max())
        throw RunTimeError(ErrorNumber::Overflow, "Overflow", "frmMain.NewDocument");
    ++m_documentCount;

    // Made inside the area's viewport: a window added from outside is moved into it, and
    // the move lays out its title bar twice over.
    auto *document = new frmDocument(m_modal, m_mdiArea->viewport());
    document->FirstDocument = !m_firstDocumentMade;
    // No caption until the window is in the area: the area lays out the title bar several
    // times as it takes the window, and an empty caption needs no text measured for that.
    document->setWindowTitle(QString());
    // The area raises a window it takes above the others only after going over them all
    // for any that stay on top, with a search of its own list for each: quadratic in the
    // open windows for every window added. One that stays on top itself is raised without
    // that, so while no open window stays on top (where the search could find nothing) the
    // new one does for as long as it is being added.
    // In a batch nothing can put a window on top between two documents (each added one
    // is back to its own flags before the next), so the answer holds for the whole batch.
    const auto noneOnTopNow = [this] {
        const QList<QMdiSubWindow *> open = m_mdiArea->subWindowList();
        return std::none_of(open.begin(), open.end(), [](const QMdiSubWindow *window) {
            return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        });
    };
    if (m_batchDepth > 0 && !m_batchNoneOnTop)
        m_batchNoneOnTop = noneOnTopNow();
    const bool noneOnTop = m_batchDepth > 0 ? *m_batchNoneOnTop : noneOnTopNow();
    const Qt::WindowFlags flags = document->windowFlags();
    m_mdiArea->addSubWindow(document, noneOnTop ? flags | Qt::WindowStaysOnTopHint : flags);
    if (noneOnTop)
        document->setWindowFlags(flags);
    try {
        document->Form_Load();
    } catch (...) {
        m_mdiArea->removeSubWindow(document);
        delete document;
        throw;
    }
    m_firstDocumentMade = true;
    // The program's own icon in the child's title bar rather than the toolkit's.
    document->setWindowIcon(windowIcon());
    // The child's own menu would claim the platform's close keys as well, and a key two
    // commands claim runs neither; File > Close has them and closes the child the same way.
    if (QMenu *menu = document->systemMenu()) {
        for (QAction *action : menu->actions())
            action->setShortcuts({});
    }
    connect(document, &frmDocument::FileWritten, this, &frmMain::RememberFile);
    QPlainTextEdit *box = document->TextBox();
    const auto caretMoved = [this, document] {
        if (document == ActiveDocument())
            m_caretPanel->ShowSoon();
    };
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, caretMoved);
    connect(box, &QPlainTextEdit::selectionChanged, this, caretMoved);
    box->viewport()->installEventFilter(this);
    connect(document, &frmDocument::FileTouched, this, &frmMain::CheckFilesSoon);
    connect(document, &frmDocument::EditsSetAside, this, [this](const QString &text) {
        frmDocument *kept = NewDocument();
        kept->SetText(text);
        kept->setChanged(true);
    });
    if (activation == Activation::Now) {
        document->show();
    } else {
        // The area activates a child as it is shown, and each activation goes over every
        // other child (laying out its title again): for hundreds of files opened at once
        // that is quadratic. A disabled child is shown without being activated.
        document->setEnabled(false);
        document->show();
        document->setEnabled(true);
    }
    KeepWithinArea(document);
    // The caption only now: showing, sizing and laying out the window measure its caption
    // again at every step (its layout when the event loop gets to it), and an empty one
    // costs nothing to measure. Nothing is drawn before it is set.
    QCoreApplication::sendPostedEvents(document, QEvent::LayoutRequest);
    document->setWindowTitle(tr("Document %1").arg(m_documentCount));
    // Made current explicitly: a hidden frame (start-up) activates nothing by itself.
    if (activation == Activation::Now)
        m_mdiArea->setActiveSubWindow(document);
    return document;
}

void frmMain::LoadFile(QString path)
{
    OpenDocument(path, Activation::Now, frmDocument::Fill::Now);
}

frmMain::OpenBatch::OpenBatch(frmMain &frame) : m_frame(frame)
{
    ++m_frame.m_batchDepth;
}

frmMain::OpenBatch::~OpenBatch()
{
    if (--m_frame.m_batchDepth > 0)
        return;
    m_frame.m_batchNoneOnTop.reset();
    if (!std::exchange(m_frame.m_recentFilesDue, false))
        return;
    // Also when the batch ends in an error on its way to the caller.
    try {
        m_frame.UpdateRecentFiles(m_frame.m_recentFiles);
    } catch (const std::exception &) {
    }
}

void frmMain::LoadFiles(const QStringList &paths)
{
    const OpenBatch batch(*this);
    QPointer<frmDocument> last;
    for (const QString &path : paths) {
        // The boxes take their texts when first seen or used (the one in front as it is
        // made active), the rest once the frame is on the screen: filling them is most of
        // what opening a large file costs, and the frame waited for all of them.
        if (frmDocument *document = OpenDocument(path, Activation::Later, frmDocument::Fill::Later))
            last = document;
    }
    if (last && !last->isHidden())
        m_mdiArea->setActiveSubWindow(last);
    QTimer::singleShot(0, this, &frmMain::FillDocuments);
}

void frmMain::FillDocuments()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto *document = dynamic_cast<frmDocument *>(window))
            document->FillBox();
    }
}

frmDocument *frmMain::OpenDocument(const QString &path, Activation activation,
                                   frmDocument::Fill fill)
{
    frmDocument *document = NewDocument(activation);
    // A window made only for a file the user then chose not to open would stay behind empty.
    if (document->LoadFile(path, fill) == frmDocument::LoadOutcome::Cancelled) {
        document->close();
        return nullptr;
    }
    // Only a file that was there and loaded is worth offering again.
    if (document->FileName == path && QFileInfo(path).isFile())
        RememberFile(path);
    return document;
}

frmDocument *frmMain::ActiveDocument() const
{
    // currentSubWindow, not activeSubWindow: the latter is null while another program has
    // the focus, and the commands must still find their document.
    return dynamic_cast<frmDocument *>(m_mdiArea->currentSubWindow());
}

void frmMain::SetStatusText(const QString &text)
{
    m_statusPanel->SetMessage(text);
}

bool frmMain::CloseDocuments(int reason)
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        QPointer<QMdiSubWindow> alive(window);
        if (!alive || alive->isHidden())
            continue;
        bool closed = false;
        try {
            if (auto *document = dynamic_cast<frmDocument *>(window))
                closed = document->CloseWithReason(reason);
            else
                closed = window->close();
        } catch (const RunTimeError &error) {
            ReportError(error, QStringLiteral("frmMain.Form_QueryUnload"), m_modal);
        } catch (const std::exception &error) {
            ReportError(RunTimeError(0, error.what(), "frmMain"),
                        QStringLiteral("frmMain.Form_QueryUnload"), m_modal);
        }
        // At session end nothing may stop the others from being asked.
        if (!closed && reason != 2)
            return false;
    }
    return true;
}

bool frmMain::ClosingEndsProgram() const
{
    if (!QGuiApplication::quitOnLastWindowClosed() || QThread::currentThread()->loopLevel() == 0)
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(), [this](const QWidget *window) {
        return window != this && window->isVisible() && !window->parentWidget() &&
               window->testAttribute(Qt::WA_QuitOnClose);
    });
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Every closing document stores its placement; the store is written once for them all.
    const settings::WriteBatch batch;
    // When the program ends with the frame, its documents' windows are only hidden as they
    // close, and go with the process: taking each apart (its text's blocks and layouts)
    // was most of what Exit cost with many documents open.
    QList<QPointer<QMdiSubWindow>> hidden;
    QStringList watched;
    if (ClosingEndsProgram()) {
        // The system takes the files' watches apart only after a pause, and an ending
        // program waits that out unless they went this much earlier. Whatever changes
        // meanwhile, the check on the frame's next activation still tells.
        watched = frmDocument::StopWatchingFiles();
        for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
            if (!window->isHidden() && window->testAttribute(Qt::WA_DeleteOnClose)) {
                window->setAttribute(Qt::WA_DeleteOnClose, false);
                hidden.append(window);
            }
        }
    }
    const bool closed = CloseDocuments(4);
    for (const QPointer<QMdiSubWindow> &window : hidden) {
        if (!window)
            continue;
        window->setAttribute(Qt::WA_DeleteOnClose, true);
        // Those that closed before another document's Cancel go as a close of their own
        // would have taken them.
        if (!closed && window->isHidden())
            window->deleteLater();
    }
    if (!closed) {
        frmDocument::WatchFilesAgain(watched);
        event->ignore();
        return;
    }
    // Nor is a window that stays hidden to the end laid out again: hiding its text box
    // asked for that.
    for (const QPointer<QMdiSubWindow> &window : hidden) {
        if (window)
            QCoreApplication::removePostedEvents(window, QEvent::LayoutRequest);
    }
    m_closedWithFrame = hidden;
    Form_Unload();
    event->accept();
}

QMenu *frmMain::createPopupMenu()
{
    return nullptr;
}
