#pragma once
// The tester window under test, on whatever device control a test gives it: a fixed clock
// and the en_US locale, so that every log entry carries the same stamp, and the window's
// parts found by the names the design gives them.

#include "ScriptedModal.h"
#include "frmTest.h"

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

inline const QString Stamp = QStringLiteral("12/7/2026 7:03:40 AM");

// One log entry as the log shows it, stamped with the fixed clock.
inline QString Entry(const QString &message)
{
    return QStringLiteral("\r\n") + Stamp + QStringLiteral(": ") + message;
}

class TesterWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldLocale = QLocale();
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    }

    void TearDown() override
    {
        delete window.data();
        QLocale::setDefault(m_oldLocale);
    }

    // The window takes `device` over.
    void Open(DeviceControl *device)
    {
        window = new frmTest(modal, device);
        window->SetClock([] { return QDateTime(QDate(2026, 12, 7), QTime(7, 3, 40)); });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    template <typename T> T *Find(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QComboBox *List() const { return Find<QComboBox>("cmbCommand"); }
    QPushButton *SendButton() const { return Find<QPushButton>("cmdSend"); }
    QPushButton *CancelButton() const { return Find<QPushButton>("cmdCancel"); }
    QProgressBar *Bar() const { return Find<QProgressBar>("pgbMain"); }
    QAction *Switch(const char *name) const { return Find<QAction>(name); }

    void SendEntry(int index)
    {
        List()->setCurrentIndex(index);
        SendButton()->click();
    }

    ScriptedModal modal;
    QPointer<frmTest> window;

private:
    QLocale m_oldLocale;
};
