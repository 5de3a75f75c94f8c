// The File menu's recent files: the last three files opened or saved, kept in the settings
// store under their own section so they come back at the next start.

#include "Modal.h"
#include "SettingsStore.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAction>
#include <QFileInfo>

namespace {

const QString RecentSection = QStringLiteral("RecentFiles");

QString SlotKey(std::size_t index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

QAction *SlotItem(const frmMain &frame, std::size_t index)
{
    return frame.findChild<QAction *>(QStringLiteral("mnuFileMRU%1").arg(index + 1));
}

} // namespace

void frmMain::ConnectRecentFiles()
{
    recent::List stored;
    for (std::size_t i = 0; i < recent::Slots; ++i)
        stored.push_back(
            GetSetting(EditorAppName, RecentSection, SlotKey(i), QString()).toStdU16String());
    m_recentFiles = recent::Clean(stored);
    for (std::size_t i = 0; i < recent::Slots; ++i)
        connect(SlotItem(*this, i), &QAction::triggered, this, [this, i] { mnuFileMRU_Click(i); });
    ShowRecentFiles();
}

void frmMain::RememberFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (m_batchDepth > 0) {
        // The menu and the store take the list once, as the batch ends.
        m_recentFiles = recent::Remember(m_recentFiles, absolute.toStdU16String());
        m_recentFilesDue = true;
        return;
    }
    UpdateRecentFiles(recent::Remember(m_recentFiles, absolute.toStdU16String()));
}

void frmMain::UpdateRecentFiles(const recent::List &list)
{
    m_recentFiles = list;
    const settings::WriteBatch batch;
    for (std::size_t i = 0; i < recent::Slots; ++i) {
        const QString value = i < list.size() ? QString::fromStdU16String(list[i]) : QString();
        SaveSetting(EditorAppName, RecentSection, SlotKey(i), value);
    }
    ShowRecentFiles();
}

void frmMain::ShowRecentFiles()
{
    for (std::size_t i = 0; i < recent::Slots; ++i) {
        QAction *item = SlotItem(*this, i);
        if (i >= m_recentFiles.size()) {
            item->setVisible(false);
            continue;
        }
        const QString path = QString::fromStdU16String(m_recentFiles[i]);
        const QString name = QFileInfo(path).fileName();
        item->setText(QString::fromStdU16String(recent::Caption(i, name.toStdU16String())));
        item->setStatusTip(path);
        item->setVisible(true);
    }
}

void frmMain::mnuFileMRU_Click(std::size_t index)
{
    if (index >= m_recentFiles.size())
        return;
    const QString path = QString::fromStdU16String(m_recentFiles[index]);
    // Opening a path that names nothing would give an empty document under that name.
    if (!QFileInfo(path).isFile()) {
        UpdateRecentFiles(recent::Forget(m_recentFiles, m_recentFiles[index]));
        m_modal.MsgBox(this,
                       tr("%1\r\n\r\nThe file is no longer there. It has been taken "
                          "off the list of recent files.")
                           .arg(path),
                       tr("Open"), MsgStyle::OKOnly + MsgStyle::Information);
        return;
    }
    try {
        LoadFile(path);
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmMain.mnuFileMRU_Click"), m_modal);
    }
}
