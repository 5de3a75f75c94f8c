#pragma once
// The texts the tester writes into its log, apart from the time stamp.

#include <cstdint>
#include <string>
#include <string_view>

namespace tester {

// One log entry: CR LF, the stamp, ": " and the message; an empty message gives CR LF
// alone (an empty line without a stamp). Control characters in the message are shown as
// markers (ShowControls).
std::u16string LogEntry(std::u16string_view stamp, std::u16string_view message);

std::u16string SendingText(std::u16string_view command);
std::u16string DetailsText(std::u16string_view fieldText);
std::u16string ResponseText(std::u16string_view response);
std::u16string DeviceErrorText(std::u16string_view description, std::u16string_view where);

// "Success!!!" and "Error: " and the device's text, for the first status panel.
std::u16string_view SuccessStatus();
std::u16string FailureStatus(std::u16string_view errorText);

// The percentage as the second status panel shows it, e.g. "38%".
std::u16string PercentText(std::int16_t percent);

} // namespace tester
