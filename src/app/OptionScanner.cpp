#include "app/OptionScanner.h"

#include <stdexcept>

void OptionScanner::skipBlanks() {
    while (!atEnd() && isWhiteSpace(text_[position_]))
        ++position_;
}

std::string OptionScanner::readUntil(const std::function<bool(char)>& stop) {
    size_t start = position_;
    while (!atEnd() && !stop(text_[position_]))
        ++position_;
    return text_.substr(start, position_ - start);
}

void OptionScanner::expect(char expected) {
    char found = peek();
    if (!atEnd() && found == expected) {
        ++position_;
        return;
    }
    // The message travels as a NUL-terminated text, so a NUL found at the end cuts it there.
    std::string message = std::string("Expected next character to be '") + expected + "', but it was '";
    if (found != '\0')
        message += std::string(1, found) + "'";
    throw std::runtime_error(message);
}

std::string OptionScanner::rest() const {
    return atEnd() ? std::string() : text_.substr(position_);
}
