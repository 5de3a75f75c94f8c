#pragma once
// The device control as the tester window uses it: operations called from the GUI
// thread one at a time, and events delivered on the GUI thread, also nested inside a
// running ExecuteCommand. The window only ever talks to this interface, so tests can
// give it a scripted control.

#include "CommandResult.h"

#include <QObject>
#include <QString>

class DeviceControl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Simulate READ Simulate WRITE SetSimulate)

public:
    using QObject::QObject;

    // True makes the control answer without a unit.
    virtual bool Simulate() const = 0;
    virtual void SetSimulate(bool simulate) = 0;

    // Runs command `number` of the tester's table and returns once it has ended. Events
    // arrive while it runs. May throw: the caller reports what it raised.
    virtual CommandResult ExecuteCommand(qint32 number) = 0;

    // Ends a running command soon; harmless when none runs.
    virtual void CancelCommand() = 0;

signals:
    void StatusChanged(qint32 value, const QString &text);
    void ResponseReceived(const QString &response);
    void MessageReceived(const QString &message);
    void ErrorOccurred(const QString &description, const QString &where);
    void ProgressChanged(const QString &text, qint32 value, qint32 current, qint32 total);
};
