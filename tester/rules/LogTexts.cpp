#include "LogTexts.h"

#include "Escaping.h"

namespace tester {

std::u16string LogEntry(std::u16string_view stamp, std::u16string_view message)
{
    std::u16string entry = u"\r\n";
    if (message.empty())
        return entry;
    entry.reserve(2 + stamp.size() + 2 + message.size());
    entry += stamp;
    entry += u": ";
    entry += ShowControls(message);
    return entry;
}

std::u16string SendingText(std::u16string_view command)
{
    std::u16string text = u"Sending Command: \"";
    text += command;
    text += u'"';
    return text;
}

std::u16string DetailsText(std::u16string_view fieldText)
{
    std::u16string text = u"These Details were returned: \r\n-----------------------------\r\n";
    text += fieldText;
    return text;
}

std::u16string ResponseText(std::u16string_view response)
{
    return u"Received Response: " + EscapeResponse(response);
}

std::u16string DeviceErrorText(std::u16string_view description, std::u16string_view where)
{
    std::u16string text = u"Device Error: ";
    text += description;
    text += u" occurred in: ";
    text += where;
    return text;
}

std::u16string_view SuccessStatus()
{
    return u"Success!!!";
}

std::u16string FailureStatus(std::u16string_view errorText)
{
    std::u16string text = u"Error: ";
    text += ShowControls(errorText);
    return text;
}

std::u16string PercentText(std::int16_t percent)
{
    std::u16string text;
    const std::string digits = std::to_string(percent);
    for (const char digit : digits)
        text += static_cast<char16_t>(digit);
    text += u'%';
    return text;
}

} // namespace tester
