#pragma once
// A real frame, driven offscreen, with scripted dialogs and its own settings.

#include "ScriptedModal.h"
#include "frmMain.h"

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A frame as start-up makes it; MainWindow points at it.
    frmMain &Frame();
    // Closes the frame the way the user does; true when it closed.
    bool CloseFrame();
    // Lets deferred deletions of closed windows happen.
    static void Settle();

    static QSettings Store();
    static QString Stored(const QString &key);
    static void Store(const QString &key, const QString &value);

    QAction *Item(const QString &name);
    // A scratch file holding `text` (the stand-in reading it decides the format).
    QString MakeFile(const QString &name, const QByteArray &bytes = "plain");

    ScriptedModal modal;
    QTemporaryDir scratch;
    std::unique_ptr<frmMain> frame;
};
