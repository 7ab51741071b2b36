// Messages without a display: every one but a question is its line on stderr, and a
// question cannot be asked.
#include "platform/MessageBox.h"

namespace platform {

Answer askYesNo(const char*, const char*, MessageIcon, std::string* why)
{
    if (why)
        *why = "a headless run has no display to ask on";
    return Answer::failed;
}

void showMessage(const char* caption, const char* text, MessageIcon icon, const char* detail)
{
    if (icon != MessageIcon::question)
        writeMessageLine(caption, text, detail);
}

} // namespace platform
