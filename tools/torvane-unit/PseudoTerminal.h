#pragma once
// A pseudo-terminal for the simulated unit: the unit works its master side, a tester
// opens the other side by path as it would a serial port. Qt has no pseudo-terminal of
// its own, so this is POSIX.

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent = nullptr);
    ~PseudoTerminal() override;

    // Empty when it could not be made; ErrorText says why.
    QString Path() const { return m_path; }
    QString ErrorText() const { return m_error; }

    // Queues bytes for the tester; they go out as the terminal takes them.
    void Write(const QByteArray &bytes);
    // Drops the line: the tester's side sees it hang up.
    void HangUp();

signals:
    void Received(const QByteArray &bytes);

private:
    void OnReadable();
    void Drain();

    int m_master = -1;
    // Held open so the master reads on while no tester has the line open.
    int m_slave = -1;
    QString m_path;
    QString m_error;
    QByteArray m_pending;
    QSocketNotifier *m_reader = nullptr;
    QSocketNotifier *m_writer = nullptr;
};
