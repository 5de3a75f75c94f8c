#pragma once
// What the session manager allows while it asks the editor for its unsaved work. The
// frame talks to it through this, so tests can play the session manager.

class SessionRequest
{
public:
    virtual ~SessionRequest() = default;
    // Whether the user may be asked now; the manager may first make the editor wait for
    // its turn.
    virtual bool AllowsInteraction() = 0;
    // Asks the manager to call off the log-off; it can only where there is one.
    virtual void Cancel() = 0;
};
