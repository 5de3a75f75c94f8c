#include "MessageLog.h"

#include "LogView.h"

#include <QScrollBar>

MessageLog::MessageLog(LogView &view) : m_view(view)
{
    m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Lucida Console"));
    font.setPointSizeF(9.75);
    m_view.setFont(font);
}

void MessageLog::Append(QStringView text)
{
    m_view.Append(text);
}

QString MessageLog::Text() const
{
    return m_view.Text();
}
