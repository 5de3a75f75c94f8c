#pragma once
// A unit in the test's own process, on a pseudo-terminal that a control opens as its
// serial port, answering each request as the test scripts it.

#include "LineFramer.h"
#include "PseudoTerminal.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <string>
#include <vector>

// Answers each request line with the bytes `answer` gives, all in one write, so that
// everything the unit says about a request is on the line before the host's next one.
class ScriptedUnit : public QObject
{
public:
    ScriptedUnit()
    {
        connect(&m_terminal, &PseudoTerminal::Received, this, [this](const QByteArray &bytes) {
            m_framer.Append(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            while (const std::optional<protocol::FramedLine> line = m_framer.Next()) {
                requests.push_back(line->text);
                m_terminal.Write(answer(line->text));
            }
        });
    }

    QString Path() const { return m_terminal.Path(); }
    // Writes unasked: the rest of an answer that comes in more than one piece.
    void Send(const QByteArray &bytes) { m_terminal.Write(bytes); }

    std::function<QByteArray(const std::string &)> answer;
    std::vector<std::string> requests;

private:
    PseudoTerminal m_terminal;
    protocol::LineFramer m_framer;
};
