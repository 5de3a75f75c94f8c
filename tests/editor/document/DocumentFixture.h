#pragma once
// A minimal host for document windows: an MDI area on screen (offscreen), a scripted
// Modal, a stand-in for the frame's status panel, and a scratch folder.

#include "Globals.h"
#include "ScriptedModal.h"
#include "frmDocument.h"

#include <QByteArray>
#include <QMdiArea>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class FakeFrame : public MainFrame
{
public:
    void SetStatusText(const QString &text) override
    {
        status = text;
        ++calls;
    }
    QString status = QStringLiteral("Status");
    int calls = 0;
};

class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new document window the way the frame makes one: added to the area, loaded,
    // captioned and shown.
    frmDocument *NewDocument(bool firstDocument = false);

    QString Path(const QString &name) const;
    // A config file holding `plain` enciphered with the documents' key.
    void WriteConfig(const QString &path, const QString &plain) const;
    static void WriteBytes(const QString &path, const QByteArray &bytes);
    static QByteArray ReadBytes(const QString &path);
    // What a config file deciphers to.
    static QString ReadConfig(const QString &path);

    static void ClearSettings();

    std::unique_ptr<ScriptedModal> modal;
    std::unique_ptr<QMdiArea> area;
    FakeFrame frame;
    QTemporaryDir scratch;
    int count = 0;
};
