#pragma once

#include "Globals.h"
#include "RecentFiles.h"
#include "frmDocument.h"

#include <QHash>
#include <QMainWindow>
#include <QPageLayout>
#include <QPointer>
#include <QSize>

#include <optional>

class CaretPanel;
class ClockPanel;
class FindBar;
class QVBoxLayout;
class frmHelp;
class Modal;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class SessionRequest;
class StatusPanel;

// The editor's multiple-document frame: placement, document windows, menus, toolbar and
// status bar. Built hidden, with its placement already restored; Main shows it.
class frmMain : public QMainWindow, public MainFrame
{
    Q_OBJECT

public:
    // The arrangements of the Window menu.
    enum ArrangeCode { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

    explicit frmMain(Modal &modal, QWidget *parent = nullptr);
    ~frmMain() override;

    // Opens `path` in a new numbered document window. Errors go to the caller.
    void LoadFile(QString path);
    // LoadFile for each of `paths` in turn (the command line's files), with the last one
    // the active document, made active once rather than each in turn. Errors go to the
    // caller; those opened before stay open.
    void LoadFiles(const QStringList &paths);
    // Opens each file as File > Open does (files dropped on the frame, or handed over by
    // another start); a failure is reported and the rest still open.
    void OpenFiles(const QStringList &paths);
    // Shows the frame in front of the other windows, un-minimised.
    void BringToFront();
    // Tells the user about documents whose files others changed or removed, each once, if
    // the frame is the active window; otherwise that waits for its next activation.
    void CheckFilesOnDisk();
    // Document windows created in this run, closed ones included.
    int DocumentCount() const { return m_documentCount; }
    // The document the commands act on; nullptr when none is open.
    frmDocument *ActiveDocument() const;
    QMdiArea *mdiArea() const { return m_mdiArea; }
    void SetStatusText(const QString &text) override;

    void Arrange(int code);
    // The session manager wants the unsaved work, when it only saves the session as much
    // as before a log-off that may still be called off: nothing closes. Where the user may
    // be asked, each changed document asks its close question; Yes saves, and Cancel (or
    // a save that did not happen) asks for the log-off to be called off.
    void CommitSessionData(SessionRequest &request);
    // The session really ends (the session manager tells the program to quit): every
    // document closes with reason 2 without a question, as the manager allows none now,
    // then the placement is stored, as the frame may not get to close.
    void SessionEnding();
    // None: the bars are switched only through the View menu, whose check marks would
    // otherwise fall out of step with them.
    QMenu *createPopupMenu() override;
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    // Whether a new document window becomes the active one as it opens, or waits for the
    // caller to activate the one it wants once a whole batch is open.
    enum class Activation { Now, Later };
    frmDocument *NewDocument(Activation activation = Activation::Now);
    // Opens `path` in a new window; nullptr when the user chose not to open it.
    frmDocument *OpenDocument(const QString &path, Activation activation, frmDocument::Fill fill);
    // Puts every document's text still to come into its box.
    void FillDocuments();
    // While one lives, the documents opened are one batch: what is the same for all of
    // them is worked out once, and the recent files are shown and stored once at its end.
    class OpenBatch;
    bool CloseDocuments(int reason);
    // Whether the frame's close ends the program: it is the last window that keeps the
    // program running, and the event loop is running to end.
    bool ClosingEndsProgram() const;
    void ApplyPendingOuterSize();
    void CheckFilesSoon();
    // Files dragged onto a document's text box: taken here (true) so that they open rather
    // than land in the text as their names.
    bool DropOnDocument(QObject *watched, QEvent *event);
    void KeepWithinArea(frmDocument *document) const;

    // Built in frmMainMenus.cpp.
    void BuildActions();
    void AddStandardKeys();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    QAction *Item(const char *name) const;
    void RefreshWindowMenu();
    // Lets the user pick any open document from a list, for those the menu leaves out.
    void mnuWindowMore_Click();

    // In frmMainSession.cpp.
    void ConnectSession();

    // The commands, in frmMainCommands.cpp.
    void ConnectCommands();
    void HideItemsWithoutCommand();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuHelpAbout_Click();
    void mnuWindowNewWindow_Click();

    // Find, replace and Go To, in frmMainSearch.cpp.
    void mnuEditFind_Click(bool withReplace);
    void FindInDocument(bool forward);
    void ReplaceInDocument();
    void ReplaceAllInDocument();
    void mnuEditGoTo_Click();
    void mnuEditSelectAll_Click();
    void UpdateCaretPanel();
    // "Line 2, Col 5" and the selection's length, for the active document's caret.
    QString CaretText() const;
    void tbToolBar_ButtonClick(const QString &key);

    // New, Save All, Refresh, Undo and Redo, in frmMainDocumentCommands.cpp.
    void ConnectDocumentCommands();
    void FollowActiveDocument();
    void mnuFileSaveAll_Click();
    void mnuViewRefresh_Click();

    // The recent files of the File menu, in frmMainRecentFiles.cpp.
    void ConnectRecentFiles();
    void RememberFile(const QString &path);
    void UpdateRecentFiles(const recent::List &list);
    void ShowRecentFiles();
    void mnuFileMRU_Click(std::size_t index);

    // Page Setup and Print Preview, in frmMainPrinting.cpp.
    void ConnectPrintingCommands();
    void mnuFilePageSetup_Click();
    void mnuFilePrintPreview_Click();

    // The guide, in frmMainHelp.cpp.
    void ConnectHelpCommands();
    frmHelp &Help();
    // The find bar, made below the documents the first time it is asked for.
    FindBar &Finder();

    Modal &m_modal;
    QMdiArea *m_mdiArea = nullptr;
    QToolBar *m_toolBar = nullptr;
    StatusPanel *m_statusPanel = nullptr;
    CaretPanel *m_caretPanel = nullptr;
    // Made when first needed (Finder()): most runs never open it, and its fields would
    // hold up the frame's first appearance.
    FindBar *m_findBar = nullptr;
    QVBoxLayout *m_column = nullptr;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListItems;
    QHash<QString, QAction *> m_items;
    QList<QMetaObject::Connection> m_undoConnections;
    recent::List m_recentFiles;
    // The layout chosen in Page Setup; nothing until one is chosen.
    std::optional<QPageLayout> m_pageLayout;
    QPointer<frmHelp> m_help;
    int m_documentCount = 0;
    bool m_firstDocumentMade = false;
    // In a batch of documents opened at once (OpenBatch): how deep, whether no open window
    // stays on top (known once for the batch), and whether the recent files changed.
    int m_batchDepth = 0;
    std::optional<bool> m_batchNoneOnTop;
    bool m_recentFilesDue = false;
    bool m_fileCheckQueued = false;
    bool m_checkingFiles = false;
    // Document windows only hidden as the frame closed, the program meant to end with it;
    // taken apart should the frame show again instead.
    QList<QPointer<QMdiSubWindow>> m_closedWithFrame;
    // The outer size asked for before the window manager told us its frame's size.
    std::optional<QSize> m_pendingOuterSize;
};

class frmMain::OpenBatch
{
public:
    explicit OpenBatch(frmMain &frame);
    OpenBatch(const OpenBatch &) = delete;
    OpenBatch &operator=(const OpenBatch &) = delete;
    ~OpenBatch();

private:
    frmMain &m_frame;
};
