#include "launch/QuotedCommand.h"

std::string quotedCommandText(const char* executable, const char* arguments) {
    std::string text = "\"";
    text += executable ? executable : "";
    text += "\"";
    if (arguments) {
        text += " ";
        text += arguments;
    }
    return text;
}
