#pragma once
// A device control whose commands do what each test scripts, so a test decides exactly
// which events arrive, in which order, while ExecuteCommand runs.

#include "DeviceControl.h"

#include <functional>
#include <vector>

class FakeDevice : public DeviceControl
{
public:
    bool Simulate() const override { return m_simulate; }
    void SetSimulate(bool simulate) override { m_simulate = simulate; }

    CommandResult ExecuteCommand(qint32 number) override
    {
        executed.push_back(number);
        simulateSeen.push_back(m_simulate);
        if (onExecute)
            return onExecute(number);
        return {true, {}, {}};
    }

    void CancelCommand() override
    {
        ++cancels;
        if (onCancel)
            onCancel();
    }

    std::function<CommandResult(qint32)> onExecute;
    std::function<void()> onCancel;
    std::vector<qint32> executed;
    std::vector<bool> simulateSeen;
    int cancels = 0;

private:
    bool m_simulate = false;
};
