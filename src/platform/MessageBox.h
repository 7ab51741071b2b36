// Message boxes of the platform. Every error text also goes to stderr, so where no
// box can be shown the text on stderr is the report.
#pragma once

#include <string>

namespace platform {

enum class MessageIcon { question, exclamation, error, information };
enum class Answer { yes, no, dismissed, failed };

// Yes is the Return-key default, No the Escape-key default. dismissed: closed without
// choosing; failed: no box could be shown, and `why`, when given, holds the reason.
Answer askYesNo(const char* caption, const char* text, MessageIcon icon, std::string* why = nullptr);
// One OK box. Everything but a question is also written to stderr as one line, with
// the detail (the underlying cause) appended when given.
void showMessage(const char* caption, const char* text, MessageIcon icon, const char* detail = nullptr);

// The line on stderr that every message but a question gets, whatever shows the box:
// "vorimel: CAPTION: TEXT (DETAIL)", line breaks in the text as spaces.
void writeMessageLine(const char* caption, const char* text, const char* detail);

} // namespace platform
